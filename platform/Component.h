#pragma once
// The component frame shared by the two libraries and the program: class and
// interface identifiers, the reference-counted base interface, the class
// factory, and a smart pointer. Both sides are built by one toolchain, so
// interfaces are plain C++ abstract classes and errors cross as RtError.

#include <QString>
#include <atomic>
#include <cstdint>
#include <string_view>
#include <utility>

namespace plat {

struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};

    // "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", with or without braces.
    static constexpr Guid parse(std::string_view s)
    {
        if (!s.empty() && s.front() == '{')
            s = s.substr(1, s.size() - 2);
        Guid g;
        auto hex = [](char c) -> uint32_t {
            return c >= '0' && c <= '9' ? uint32_t(c - '0')
                 : c >= 'a' && c <= 'f' ? uint32_t(c - 'a' + 10)
                 : c >= 'A' && c <= 'F' ? uint32_t(c - 'A' + 10)
                                        : 0;
        };
        auto field = [&](size_t pos, size_t len) {
            uint32_t v = 0;
            for (size_t i = 0; i < len && pos + i < s.size(); ++i)
                v = (v << 4) | hex(s[pos + i]);
            return v;
        };
        g.data1 = field(0, 8);
        g.data2 = uint16_t(field(9, 4));
        g.data3 = uint16_t(field(14, 4));
        g.data4[0] = uint8_t(field(19, 2));
        g.data4[1] = uint8_t(field(21, 2));
        for (int i = 0; i < 6; ++i)
            g.data4[2 + i] = uint8_t(field(24 + 2 * i, 2));
        return g;
    }

    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
    QString toString() const
    {
        QString s = QString("{%1-%2-%3-").arg(data1, 8, 16, QChar('0')).arg(data2, 4, 16, QChar('0')).arg(data3, 4, 16, QChar('0'));
        for (int i = 0; i < 8; ++i) {
            if (i == 2)
                s += '-';
            s += QString("%1").arg(data4[i], 2, 16, QChar('0'));
        }
        return (s + '}').toUpper();
    }

    friend constexpr bool operator==(const Guid& a, const Guid& b)
    {
        if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3)
            return false;
        for (int i = 0; i < 8; ++i)
            if (a.data4[i] != b.data4[i])
                return false;
        return true;
    }
};

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002u);
constexpr HRESULT E_POINTER = HRESULT(0x80004003u);
constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
constexpr HRESULT CLASS_E_NOAGGREGATION = HRESULT(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = HRESULT(0x80040111u);
constexpr HRESULT SELFREG_E_CLASS = HRESULT(0x80040201u);

inline constexpr Guid IID_IUnknown = Guid::parse("00000000-0000-0000-C000-000000000046");
inline constexpr Guid IID_IClassFactory = Guid::parse("00000001-0000-0000-C000-000000000046");

// Base of every component interface. Objects are released, never deleted.
struct IUnknown {
    virtual HRESULT QueryInterface(const Guid& iid, void** object) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* outer, const Guid& iid, void** object) = 0;
    virtual HRESULT LockServer(bool lock) = 0;

protected:
    ~IClassFactory() = default;
};

// The four entry points of a component library.
extern "C" {
using DllGetClassObjectFn = HRESULT (*)(const Guid* clsid, const Guid* iid, void** object);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();
}

// Holds one reference to an interface.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes over a reference the caller already holds.
    static ComPtr attach(T* p)
    {
        ComPtr c;
        c.m_p = p;
        return c;
    }
    ComPtr(const ComPtr& o) : m_p(o.m_p)
    {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(ComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept
    {
        std::swap(m_p, o.m_p);
        return *this;
    }
    ~ComPtr() { reset(); }

    void reset()
    {
        if (m_p)
            std::exchange(m_p, nullptr)->Release();
    }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

// Reference counting and QueryInterface for a class that implements one
// component interface Iface (identified by iid). Impl derives from
// ComObject<Impl, Iface, iid>; the count of live objects of the library is
// kept in objectCounter, which DllCanUnloadNow reads.
std::atomic<int>& componentObjectCount();

template <class Iface, const Guid& Iid>
class ComObject : public Iface {
public:
    ComObject() { ++componentObjectCount(); }
    virtual ~ComObject() { --componentObjectCount(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT QueryInterface(const Guid& iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == Iid || iid == IID_IUnknown) {
            *object = static_cast<Iface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    uint32_t AddRef() override { return ++m_refs; }
    uint32_t Release() override
    {
        const uint32_t n = --m_refs;
        if (n == 0)
            delete this;
        return n;
    }

private:
    std::atomic<uint32_t> m_refs{1};
};

} // namespace plat
