// A fixture for runs of an item dialog object: a foreground host window, the
// test program as the module instance, the editor state the dialog reports
// to, and a record prepared for either mode.
#pragma once
#include <gtest/gtest.h>
#include <string.h>
#include <functional>
#include "editor/item_dialog.h"
#include "plugin/module.h"
#include "tests/editor/editor_test_support.h"
#include "tests/support/test_support.h"

class ItemDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ThePlugin().Attach(edtest::Module());
        PrepareCreate(-1);
    }

    ItemDialogData& Data() { return itemDialog.Data(); }

    // The record as the insert flow leaves it.
    void PrepareCreate(int position) {
        ItemDialogData& d = Data();
        d = ItemDialogData();
        strcpy(d.title, "Create Menu Item");
        d.position = position;
    }

    // The record as the properties flow leaves it for an item of a menu of
    // `entries` entries.
    void PrepareProperties(const char* name, const char* target, int position, int entries) {
        PrepareCreate(position);
        ItemDialogData& d = Data();
        strcpy(d.title, "Menu Item Properties");
        d.propertiesMode = true;
        strcpy(d.name, name);
        strcpy(d.target, target);
        d.iconIndex = d.runMode = 0;
        d.spinUpper = 1;
        d.spinLower = entries;
    }

    INT_PTR Run(const std::function<void(HWND)>& steps) {
        return edtest::DriveDialog(Data().title, steps, [this] { return itemDialog.Run(); });
    }

    // Posts OK and waits until the dialog closed; false if it stayed open.
    static bool PressOk(HWND dialog) {
        edtest::PostClick(dialog, IDOK);
        return qtest::WaitUntilGone(dialog);
    }

    qtest::HostWindow host;
    EditorState state;
    ItemDialog itemDialog{EditContext{edtest::Module(), &state}};
};
