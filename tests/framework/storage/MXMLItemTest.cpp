#include <gtest/gtest.h>

#include "framework/core/MException.h"
#include "framework/storage/MXMLItem.h"
#include "framework/storage/StoredValues.h"

using namespace corvane;

namespace {

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const MException& e) {
        return e.Message();
    }
    return "no exception";
}

}  // namespace

TEST(MXMLItem, AttributesStaySortedAndUnique) {
    MXMLItem item("settings");
    item.SetAttribute("b", "2");
    item.SetAttribute("a", "1");
    item.SetAttribute("B", "upper");
    item.SetAttribute("b", "two");
    ASSERT_EQ(item.Attributes().size(), 3u);
    EXPECT_EQ(item.Attributes()[0].first, "B") << "ordered by character code";
    EXPECT_EQ(item.Attributes()[1].first, "a");
    EXPECT_EQ(item.Attributes()[2], std::make_pair(std::string("b"), std::string("two")));
    item.RemoveAttribute("a");
    EXPECT_EQ(item.GetAttribute("a", "none"), "none");
}

TEST(MXMLItem, CachesReportMissedLookups) {
    MXMLItem item("settings");
    item.SetAttribute("Version", "461312");
    EXPECT_TRUE(item.HasAttribute("Version"));
    EXPECT_EQ(item.CachedAttributeValue(), "461312");
    EXPECT_FALSE(item.HasAttribute("Missing"));
    EXPECT_EQ(MessageOf([&] { item.CachedAttributeValue(); }),
              "There is no attribute in the cache. Previous call to HasAttribute probably did not succeed.");
    EXPECT_FALSE(item.HasSubItem("LFOs"));
    EXPECT_EQ(MessageOf([&] { item.CachedSubItem(); }),
              "There is no subitem in the cache. Previous call to HasSubItem probably did not succeed.");
    MXMLItem::Iterator iterator;
    EXPECT_EQ(MessageOf([&] { iterator.Next(); }), "XML item iterator has not been initialized.");
}

TEST(MXMLItem, ChildrenKeepDocumentOrder) {
    MXMLItem root("settings");
    MXMLItem& lfos = root.GetOrAddSubItem("LFOs");
    EXPECT_EQ(&root.GetOrAddSubItem("LFOs"), &lfos);
    root.AddSubItem("Preset0");
    root.AddSubItem("Preset0").SetAttribute("n", "2");
    EXPECT_EQ(lfos.Depth(), 1);
    EXPECT_EQ(lfos.Parent(), &root);
    MXMLItem::Iterator presets;
    presets.Init(root, "Preset0");
    EXPECT_NE(presets.Next(), nullptr);
    MXMLItem* second = presets.Next();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetAttribute("n"), "2");
    EXPECT_EQ(presets.Next(), nullptr);
    root.RemoveSubItem("Preset0");
    EXPECT_EQ(root.SubItemCount(), 1u);
}

TEST(MXMLItem, CopyIsDeepAndSafeFromOwnSubtree) {
    MXMLItem root("settings");
    root.SetText("body");
    root.AddSubItem("A").AddSubItem("B").SetAttribute("x", "1");
    MXMLItem copy;
    copy.Copy(root);
    root.FindSubItem("A")->FindSubItem("B")->SetAttribute("x", "2");
    EXPECT_EQ(copy.Name(), "settings");
    EXPECT_EQ(copy.Text(), "body");
    EXPECT_EQ(copy.FindSubItem("A")->FindSubItem("B")->GetAttribute("x"), "1");
    EXPECT_EQ(copy.FindSubItem("A")->FindSubItem("B")->Depth(), 2);

    MXMLItem& child = *root.FindSubItem("A");
    root.Copy(child);  // the source lives inside the target
    EXPECT_EQ(root.Name(), "A");
    EXPECT_EQ(root.FindSubItem("B")->GetAttribute("x"), "2");
}

TEST(StoredValues, TextForms) {
    MXMLItem item("settings");
    StoreReal(item, "r", 1.0 / 3.0);
    StoreInteger(item, "i", -7);
    StoreBool(item, "b", true);
    EXPECT_EQ(item.GetAttribute("r"), "0.333333333333");
    for (const auto& [value, text] :
         {std::pair<double, const char*>{0.1, "0.1"}, {2.5, "2.5"}, {1e-20, "1e-20"}, {461312.0, "461312"}})
        EXPECT_EQ(StoredRealText(value), text);
    EXPECT_EQ(item.GetAttribute("i"), "-7");
    EXPECT_EQ(item.GetAttribute("b"), "1");
    EXPECT_NEAR(LoadReal(item, "r", 0.0), 1.0 / 3.0, 1e-12);
    EXPECT_EQ(LoadInteger(item, "missing", 5), 5);
    EXPECT_TRUE(LoadBool(item, "b", false));
}
