#include "platform/Forms.h"

#include "platform/RtError.h"

#include <QHash>
#include <QPointer>

#include <algorithm>

namespace plat {

// Friend of Form: runs the load and unload steps.
class FormsRegistry {
public:
    static QHash<QString, Forms::Factory>& factories()
    {
        static QHash<QString, Forms::Factory> f;
        return f;
    }
    static std::vector<QPointer<Form>>& loaded()
    {
        static std::vector<QPointer<Form>> l;
        return l;
    }
    static void prune()
    {
        auto& l = loaded();
        l.erase(std::remove_if(l.begin(), l.end(), [](const QPointer<Form>& f) { return !f || f->m_unloaded; }), l.end());
    }
    static Form* load(Form* form)
    {
        loaded().push_back(form);
        if (!form->m_loaded) {
            form->m_loaded = true;
            try {
                form->Form_Load();
            } catch (...) {
                // A load that fails leaves no half-loaded form behind.
                form->doUnload(vbFormCode, true);
                prune();
                throw;
            }
        }
        return form;
    }
    static bool unload(Form* form, UnloadMode mode)
    {
        const bool done = form->doUnload(mode, false);
        prune();
        return done;
    }
};

namespace Forms {

void registerForm(const QString& name, Factory factory)
{
    if (FormsRegistry::factories().contains(name))
        throw RtError(rt::KeyAlreadyAssociated, QStringLiteral("A form named %1 is already registered").arg(name));
    FormsRegistry::factories().insert(name, std::move(factory));
}

bool isRegistered(const QString& name)
{
    return FormsRegistry::factories().contains(name);
}

QStringList registeredNames()
{
    QStringList names = FormsRegistry::factories().keys();
    names.sort();
    return names;
}

void clearRegistrations()
{
    FormsRegistry::factories().clear();
}

Form* Find(const QString& name)
{
    FormsRegistry::prune();
    for (const auto& f : FormsRegistry::loaded())
        if (f && f->objectName() == name)
            return f;
    return nullptr;
}

Form* CreateInstance(const QString& name)
{
    const auto it = FormsRegistry::factories().constFind(name);
    if (it == FormsRegistry::factories().constEnd())
        throw RtError(rt::CannotCreateObject, QString("No form named %1").arg(name));
    Form* form = (*it)();
    form->setObjectName(name);
    return FormsRegistry::load(form);
}

Form* Get(const QString& name)
{
    if (Form* f = Find(name))
        return f;
    return CreateInstance(name);
}

Form* Adopt(Form* form)
{
    FormsRegistry::prune();
    for (const auto& f : FormsRegistry::loaded())
        if (f == form)
            return form;
    return FormsRegistry::load(form);
}

bool Unload(Form* form, UnloadMode mode)
{
    if (!form)
        return true;
    return FormsRegistry::unload(form, mode);
}

void UnloadAllExcept(const QStringList& keep, UnloadMode mode)
{
    for (Form* f : Screens())
        if (!keep.contains(f->objectName()))
            Unload(f, mode);
}

void UnloadAll(UnloadMode mode)
{
    for (Form* f : All())
        Unload(f, mode);
}

std::vector<Form*> All()
{
    FormsRegistry::prune();
    std::vector<Form*> out;
    for (const auto& f : FormsRegistry::loaded())
        if (f)
            out.push_back(f);
    return out;
}

std::vector<Form*> Screens()
{
    std::vector<Form*> out = All();
    out.erase(std::remove_if(out.begin(), out.end(), [](const Form* f) { return f->IsNotice(); }), out.end());
    return out;
}

int Count(const QString& name)
{
    int n = 0;
    for (Form* f : All())
        if (f->objectName() == name)
            ++n;
    return n;
}

bool AnyVisible()
{
    for (Form* f : Screens())
        if (f->isVisible())
            return true;
    return false;
}

} // namespace Forms
} // namespace plat
