// A kind's whole editor table compared with the rows it must have, in the order OK stores them.
#pragma once

#include "gears/EditorFields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <span>
#include <string_view>

namespace linkwright::testing {

struct EditorRow {
    const char* component;
    const char* tab;
    const char* group;
    const char* label;
    FieldFormat format;
    FieldConversion conversion;
    FieldRef storage;
};

// Every field as its row says, each with a hint on its edit (but the `hintless` ones) and none of a
// label's own.
inline void ExpectEditorRows(const EditorTable& table, std::span<const EditorRow> expected,
                             std::initializer_list<std::string_view> hintless = {}) {
    ASSERT_EQ(table.fields.size(), expected.size());
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        const EditorField& field = table.fields[i];
        const EditorRow& row = expected[i];
        EXPECT_EQ(field.component, row.component) << i;
        EXPECT_EQ(field.tab, row.tab) << row.component;
        EXPECT_EQ(field.group, row.group) << row.component;
        EXPECT_EQ(field.label, row.label) << row.component;
        EXPECT_EQ(field.format, row.format) << row.component;
        EXPECT_EQ(field.conversion, row.conversion) << row.component;
        EXPECT_TRUE(field.storage == row.storage) << row.component;
        const bool withoutHint =
            std::find(hintless.begin(), hintless.end(), field.component) != hintless.end();
        EXPECT_EQ(field.hint.empty(), withoutHint) << row.component;
        EXPECT_TRUE(field.labelHint.empty()) << row.component;
    }
}

} // namespace linkwright::testing
