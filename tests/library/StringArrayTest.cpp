#include "library/StringArray.h"
#include "VexLib22/VexLib22.h"
#include "platform/Regional.h"
#include "platform/RtError.h"

#include <gtest/gtest.h>

#include <functional>

using namespace VexLib22;

namespace {

struct Raised {
    int number = 0;
    QString source;
};

Raised raised(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const plat::RtError& e) {
        return {e.number(), e.source()};
    }
    return {};
}

class StringArrayTest : public testing::Test {
protected:
    plat::ComPtr<StringArray> a = plat::ComPtr<StringArray>::attach(new StringArray);

    QStringList items()
    {
        QStringList out;
        for (int32_t i = 0; i < a->Count(); ++i)
            out << a->Item(i);
        return out;
    }
    void fill(const QStringList& list)
    {
        for (const auto& s : list)
            a->Add(s);
    }
};

} // namespace

TEST_F(StringArrayTest, StartsEmptyAndUnsorted)
{
    EXPECT_EQ(a->Count(), 0);
    EXPECT_FALSE(a->Sorted());
}

TEST_F(StringArrayTest, UnsortedAddAppends)
{
    fill({"b", "A", "c", "a"});
    EXPECT_EQ(items(), QStringList({"b", "A", "c", "a"}));
}

TEST_F(StringArrayTest, SortedAddPutsANewElementBeforeItsEquals)
{
    a->setSorted(true);
    fill({"b", "A", "c", "a"});
    EXPECT_EQ(items(), QStringList({"a", "A", "b", "c"}));

    a->Add("B");
    a->Add("");
    EXPECT_EQ(items(), QStringList({"", "a", "A", "B", "b", "c"}));
}

TEST_F(StringArrayTest, SortedAddFollowsTheCollationOfTheLocale)
{
    plat::Regional::setLocale(QLocale(QLocale::French, QLocale::France));
    a->setSorted(true);
    fill({"Zone", QString::fromUtf8("\u00e9tage"), "f", "Etage", "ecole", QString::fromUtf8("\u00c9cole")});
    EXPECT_EQ(items(), QStringList({"ecole", QString::fromUtf8("\u00c9cole"), "Etage", QString::fromUtf8("\u00e9tage"),
                                    "f", "Zone"}));
}

TEST_F(StringArrayTest, SortedMayBeSetOnlyWhileEmpty)
{
    a->Add("x");
    const Raised r = raised([&] { a->setSorted(true); });
    EXPECT_EQ(r.number, Err::SortedNotEmpty);
    EXPECT_EQ(r.source, "VexLib22");
    EXPECT_FALSE(a->Sorted());

    a->DeleteAll();
    a->setSorted(true);
    EXPECT_TRUE(a->Sorted());
    a->Add("y");
    a->DeleteAll();
    EXPECT_TRUE(a->Sorted());   // DeleteAll keeps the flag
}

TEST_F(StringArrayTest, PositionalChangesAreRefusedWhenSorted)
{
    a->setSorted(true);
    a->Add("x");
    EXPECT_EQ(raised([&] { a->InsertAt(0, "y"); }).number, Err::InsertSorted);
    EXPECT_EQ(raised([&] { a->SetAt(0, "y"); }).number, Err::SetAtSorted);
    EXPECT_EQ(raised([&] { a->SetCount(5); }).number, Err::SetCountSorted);
    EXPECT_EQ(items(), QStringList({"x"}));
}

TEST_F(StringArrayTest, IndexOutsideTheElementsRaisesSubscriptError)
{
    fill({"a", "b"});
    const std::function<void()> bad[] = {
        [&] { a->Item(2); },         [&] { a->Item(-1); },        [&] { a->SetAt(2, "x"); },
        [&] { a->Delete(2); },       [&] { a->Delete(-1); },      [&] { a->InsertAt(3, "x"); },
        [&] { a->InsertAt(-1, "x"); }, [&] { a->SetCount(-1); },
    };
    for (const auto& fn : bad) {
        const Raised r = raised(fn);
        EXPECT_EQ(r.number, plat::rt::SubscriptOutOfRange);
        EXPECT_EQ(r.source, "VexLib22");
    }
    EXPECT_EQ(items(), QStringList({"a", "b"}));
}

TEST_F(StringArrayTest, InsertAtSetAtAndDelete)
{
    fill({"a", "c"});
    a->InsertAt(1, "b");
    a->InsertAt(0, "0");
    a->InsertAt(a->Count(), "d");   // at Count: appends
    EXPECT_EQ(items(), QStringList({"0", "a", "b", "c", "d"}));
    a->SetAt(2, "B");
    a->Delete(0);
    a->Delete(3);
    EXPECT_EQ(items(), QStringList({"a", "B", "c"}));
}

TEST_F(StringArrayTest, DeletingTheLastElementLeavesAUsableArray)
{
    a->Add("only");
    a->Delete(0);
    EXPECT_EQ(a->Count(), 0);
    a->Add("next");
    EXPECT_EQ(items(), QStringList({"next"}));
}

TEST_F(StringArrayTest, SetCountBelowTheElementsInUseCutsCount)
{
    fill({"a", "b", "c", "d"});
    a->SetCount(5);                 // room only: Count is not changed
    EXPECT_EQ(items(), QStringList({"a", "b", "c", "d"}));
    a->SetCount(1);                 // keeps indices 0..1
    EXPECT_EQ(a->Count(), 2);
    EXPECT_EQ(items(), QStringList({"a", "b"}));
    EXPECT_EQ(raised([&] { a->Item(2); }).number, plat::rt::SubscriptOutOfRange);
    a->Add("e");
    EXPECT_EQ(items(), QStringList({"a", "b", "e"}));
    a->SetCount(0);
    EXPECT_EQ(items(), QStringList({"a"}));
}
