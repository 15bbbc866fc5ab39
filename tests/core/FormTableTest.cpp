// Every window's form table, checked as data: the builder trusts these properties.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/U_CapInfoForm.h"
#include "app/U_SplashForm.h"
#include "app/Unit1Form.h"
#include "app/Unit2Form.h"

namespace velmo::form {
namespace {

const FormDesc* const kForms[] = {&app::form1::kForm, &app::form2::kForm, &app::splash::kForm, &app::capinfo::kForm};

bool Inside(const Rect& inner, Size outer) {
    return inner.left >= 0 && inner.top >= 0 && inner.width >= 0 && inner.height >= 0 &&
           inner.left + inner.width <= outer.width && inner.top + inner.height <= outer.height;
}

bool IsContainer(ControlKind kind) {
    return kind == ControlKind::Panel || kind == ControlKind::RadioGroup;
}

TEST(FormTable, ControlsFitTheirParentsWithUniqueIdsAndNames) {
    for (const FormDesc* form : kForms) {
        SCOPED_TRACE(::testing::Message() << form->className);
        ASSERT_GT(form->fontCount, 0);
        std::set<int> ids;
        std::set<std::string> names;
        std::vector<Size> clientOf(static_cast<size_t>(form->controlCount));
        std::map<int, int> clientDocks;  // parent id -> controls that fill it
        for (int i = 0; i < form->controlCount; ++i) {
            const ControlDesc& c = form->controls[i];
            SCOPED_TRACE(c.name);
            EXPECT_GE(c.id, kFirstControlId);
            EXPECT_TRUE(ids.insert(c.id).second) << "id used twice";
            EXPECT_TRUE(names.insert(c.name).second) << "name used twice";
            EXPECT_GE(c.font, 0);
            EXPECT_LT(c.font, form->fontCount);
            EXPECT_NE(c.text, nullptr);

            // A parent is a container that comes earlier in the table (creation order).
            Size parentClient = form->client;
            if (c.parent != kFormClient) {
                const int parent = IndexOf(*form, c.parent);
                ASSERT_GE(parent, 0) << "unknown parent";
                ASSERT_LT(parent, i) << "parent after child";
                EXPECT_TRUE(IsContainer(form->controls[parent].kind));
                parentClient = clientOf[static_cast<size_t>(parent)];
            }
            // At most one control fills what is left of a parent.
            if (c.dock == Dock::Client)
                EXPECT_EQ(++clientDocks[c.parent], 1) << "two controls fill one parent";
            // Lists of items belong to the kinds that show them.
            const bool hasItems = c.kind == ControlKind::RadioGroup || c.kind == ControlKind::DropDownList ||
                                  c.kind == ControlKind::ListBox || c.kind == ControlKind::Header;
            if (!hasItems)
                EXPECT_EQ(c.items.count, 0);
            if (c.kind == ControlKind::RadioGroup || c.kind == ControlKind::DropDownList)
                EXPECT_GT(c.items.count, 0);
        }

        // The docks, laid out over the design sizes, keep every control inside its parent.
        std::vector<Rect> placed(static_cast<size_t>(form->controlCount));
        auto layout = [&](int parentId, Size client) {
            LayoutChildren(*form, parentId, client, [&](int index, const Rect& r) {
                placed[static_cast<size_t>(index)] = r;
                const ControlDesc& c = form->controls[index];
                // A label without a size sizes itself to its text; only its corner is checked.
                const Rect checked = (c.bounds.width == 0 && c.bounds.height == 0) ? Rect{r.left, r.top, 1, 1} : r;
                EXPECT_TRUE(Inside(checked, client)) << c.name << " lies outside its parent";
            });
        };
        layout(kFormClient, form->client);
        for (int i = 0; i < form->controlCount; ++i) {
            if (IsContainer(form->controls[i].kind))
                layout(form->controls[i].id, {placed[static_cast<size_t>(i)].width, placed[static_cast<size_t>(i)].height});
        }
    }
}

TEST(FormTable, DocksShareOutTheParentInOrder) {
    static constexpr ControlDesc kControls[] = {
        {kFormClient, ControlKind::Panel, 100, "Fill", {0, 0, 1, 1}, Dock::Client, L"", 0, kSystemColor, 0, {}, 0, 0},
        {kFormClient, ControlKind::Panel, 101, "Side", {5, 5, 191, 9}, Dock::Left, L"", 0, kSystemColor, 0, {}, 0, 0},
        {kFormClient, ControlKind::Header, 102, "Head", {5, 5, 9, 17}, Dock::Top, L"", 0, kSystemColor, 0, {}, 0, 0},
        {kFormClient, ControlKind::Label, 103, "Free", {3, 4, 5, 6}, Dock::None, L"", 0, kSystemColor, 0, {}, 0, 0},
    };
    static constexpr FontDesc kFonts[] = {{L"x", 12, false, false, kSystemColor}};
    static constexpr FormDesc kForm{L"T", L"", {420, 165}, kFonts, 1, kControls, 4};
    std::vector<Rect> placed(4);
    LayoutChildren(kForm, kFormClient, {420, 165}, [&](int i, const Rect& r) { placed[static_cast<size_t>(i)] = r; });
    EXPECT_EQ(placed[2], (Rect{0, 0, 420, 17}));     // top first
    EXPECT_EQ(placed[1], (Rect{0, 17, 191, 148}));   // then left, below the top
    EXPECT_EQ(placed[0], (Rect{191, 17, 229, 148}));  // the rest
    EXPECT_EQ(placed[3], (Rect{3, 4, 5, 6}));        // undocked: as designed
}

}  // namespace
}  // namespace velmo::form
