#include "platform/core/StringList.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(TStringList, SetTextSplitsAtEveryKindOfLineBreak)
{
    const std::pair<const char*, QStringList> rows[] = {
        {"", {}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\rc", {"a", "b", "c"}},
        {"a\r\n", {"a"}},         // a final break adds no empty line
        {"a\r\n\r\n", {"a", ""}}, // but an empty line before it stays
        {"\n\r", {"", ""}},       // LF then CR is two breaks
        {"a\r\r\nb", {"a", "", "b"}},
    };
    for (const auto& [text, lines] : rows) {
        TStringList list;
        list.SetText(QString::fromLatin1(text));
        EXPECT_EQ(list.ToQStringList(), lines) << text;
    }
}

TEST(TStringList, TextEndsEveryLineWithCrLf)
{
    TStringList list;
    EXPECT_EQ(list.Text(), "");
    list.SetText("a\n\nb");
    EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
}

TEST(TStringList, StringsCarryObjectsAndMatchIgnoringCase)
{
    QObject first, second;
    TStringList list;
    EXPECT_EQ(list.Add("Alpha"), 0);
    EXPECT_EQ(list.AddObject("Beta", &first), 1);
    list.Insert(0, "Gamma");
    list.SetObjects(0, &second);
    EXPECT_EQ(list.ToQStringList(), (QStringList{"Gamma", "Alpha", "Beta"}));
    EXPECT_EQ(list.Objects(1), nullptr);
    EXPECT_EQ(list.IndexOfObject(&first), 2);
    EXPECT_EQ(list.IndexOf("ALPHA"), 1);
    EXPECT_EQ(list.IndexOf("Delta"), -1);

    TStringList copy;
    copy.Add("old");
    copy.Assign(&list);
    EXPECT_EQ(copy.ToQStringList(), list.ToQStringList());
    EXPECT_EQ(copy.Objects(0), &second);
    list.SetText("x");
    EXPECT_EQ(list.Objects(0), nullptr); // new lines carry no object
    TPersistent other;
    EXPECT_THROW(copy.Assign(&other), EConvertError);
}

TEST(TStringList, IndexesOutsideTheListRaise)
{
    TStringList list;
    list.Add("only");
    EXPECT_THROW(list.Strings(1), ERangeError);
    EXPECT_THROW(list.Strings(-1), ERangeError);
    EXPECT_THROW(list.SetStrings(1, "x"), ERangeError);
    EXPECT_THROW(list.Objects(1), ERangeError);
    EXPECT_THROW(list.SetObjects(-1, nullptr), ERangeError);
    EXPECT_THROW(list.Delete(1), ERangeError);
    EXPECT_THROW(list.Insert(2, "x"), ERangeError);
    list.Insert(1, "end"); // Count appends
    EXPECT_EQ(list.ToQStringList(), (QStringList{"only", "end"}));
}

TEST(TStringList, ChangesReportOnceOutsideUpdates)
{
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TStringList* sender) {
        EXPECT_EQ(sender->UpdateCount(), 0);
        ++changes;
    };
    list.Add("a");
    list.SetStrings(0, "b");
    EXPECT_EQ(changes, 2);
    list.SetStrings(0, "b"); // nothing changes, nothing reported
    list.SetText("b\r\n");
    list.BeginUpdate();
    list.EndUpdate();
    EXPECT_EQ(changes, 2);

    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("c");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(changes, 2);
    list.EndUpdate();
    EXPECT_EQ(changes, 3);
    list.Clear();
    list.Clear();
    EXPECT_EQ(changes, 4);
    EXPECT_THROW(list.EndUpdate(), EAssertionFailed);
}

} // namespace
} // namespace lp
