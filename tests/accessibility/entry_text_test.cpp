// An entry's text as a screen reader says it, and its mnemonic.
#include <gtest/gtest.h>
#include "flatmenu/entry_text.h"

TEST(EntryText, ReadsWithoutItsMnemonicMarkers) {
    const struct {
        const char* stored;
        const char* reads;
        char mnemonic;
    } cases[] = {
        {"&Notepad", "Notepad", 'N'},
        {"Note&pad", "Notepad", 'p'},
        {"Fish && Chips", "Fish & Chips", 0},
        {"&&Both &here", "&Both here", 'h'},
        {"Trailing&", "Trailing", 0},
        {"", "", 0},
        {"Plain", "Plain", 0},
        {"&&", "&", 0},
        {"Two &marks &here", "Two marks here", 'm'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(c.reads, ReadableEntryText(c.stored));
        EXPECT_EQ(c.mnemonic, EntryMnemonic(c.stored));
    }
}
