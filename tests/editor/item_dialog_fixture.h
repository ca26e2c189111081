// A fixture for runs of the item dialog: a foreground host window, the test
// program as the module instance, and a record prepared for either mode.
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

    // The record as the insert flow leaves it.
    static void PrepareCreate(int position) {
        ItemDialogData& d = g_itemDialog;
        strcpy(d.title, "Create Menu Item");
        d.propertiesMode = d.isSubmenu = false;
        d.name[0] = d.target[0] = d.parameters[0] = d.startIn[0] = d.iconPath[0] = '\0';
        d.iconIndex = d.runMode = -1;
        d.position = position;
        d.separator = 0;
        d.spinUpper = d.spinLower = 0;
        d.moduleInstance = edtest::Module();
    }

    // The record as the properties flow leaves it for an item of a menu of
    // `entries` entries.
    static void PrepareProperties(const char* name, const char* target, int position, int entries) {
        PrepareCreate(position);
        ItemDialogData& d = g_itemDialog;
        strcpy(d.title, "Menu Item Properties");
        d.propertiesMode = true;
        strcpy(d.name, name);
        strcpy(d.target, target);
        d.iconIndex = d.runMode = 0;
        d.spinUpper = 1;
        d.spinLower = entries;
    }

    static INT_PTR Run(const std::function<void(HWND)>& steps) {
        return edtest::DriveDialog(g_itemDialog.title, steps,
                                   [] { return RunItemDialog(edtest::Module()); });
    }

    // Posts OK and waits until the dialog closed; false if it stayed open.
    static bool PressOk(HWND dialog) {
        edtest::PostClick(dialog, IDOK);
        return edtest::WaitUntilClosed(dialog);
    }

    qtest::HostWindow host;
};
