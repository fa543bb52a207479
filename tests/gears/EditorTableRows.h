// A kind's whole editor table compared with the rows it must have, in the order OK stores them.
#pragma once

#include "gears/EditorFields.h"

#include <gtest/gtest.h>

#include <span>

namespace linkwright::testing {

struct EditorRow {
    const char* component;
    const char* tab;
    const char* group;
    const char* label;
    FieldFormat format;
    FieldConversion conversion;
    FieldRef storage;
    const char* hint = nullptr; // the edit's hint when it matters: nullptr asks only that it has one
    const char* labelHint = ""; // a hint of the label's own
};

// Every field as its row says; an edit whose hint the row leaves open must have one.
inline void ExpectEditorRows(const EditorTable& table, std::span<const EditorRow> expected) {
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
        if (row.hint == nullptr) {
            EXPECT_FALSE(field.hint.empty()) << row.component;
        } else {
            EXPECT_EQ(field.hint, row.hint) << row.component;
        }
        EXPECT_EQ(field.labelHint, row.labelHint) << row.component;
    }
}

} // namespace linkwright::testing
