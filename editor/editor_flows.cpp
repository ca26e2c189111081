// Insert, Properties and Delete: fill an item dialog's record, run the dialog
// where one is needed, and write the store at the entry's key path.
#include "editor/editor_flows.h"
#include <stdlib.h>
#include "common/text_copy.h"
#include "editor/item_dialog.h"
#include "store/item_record.h"
#include "store/store_edits.h"

namespace {

// The fields of the record `entry` carries, split from a copy in `copy` (a
// record buffer): a record longer than that is cut, as the menu's own reading
// cuts it.
void ParseEntryRecord(const MenuEntryAddress& entry, char* copy, MenuItemFields* fields) {
    CopyText(copy, kRecordBufferSize, entry.record.c_str());
    ParseItemRecord(0, false, copy, fields);
}

// The position stored in the entry's record; 0 when it has none.
int StoredPosition(const MenuEntryAddress& entry) {
    char copy[kRecordBufferSize];
    MenuItemFields fields;
    ParseEntryRecord(entry, copy, &fields);
    return fields.position;
}

void BuildRecordFromDialog(const ItemDialogData& d, int position, char* record) {
    BuildItemRecord(d.isSubmenu, d.target, d.parameters, d.startIn, d.iconPath, d.iconIndex,
                    d.runMode, position, d.separator, record);
}

// Writes the record under the dialog's name in the key at `keyPath`: a
// submenu's key default value, or a launcher item's value.
void StoreRecord(const std::string& keyPath, const ItemDialogData& d, const char* record) {
    if (d.isSubmenu)
        CreateSubmenuKey(keyPath, d.name, record);
    else
        WriteItemValue(keyPath, d.name, record);
}

void FillForProperties(const MenuEntryAddress& entry, ItemDialogData* d) {
    char copy[kRecordBufferSize];
    MenuItemFields f;
    ParseEntryRecord(entry, copy, &f);
    d->propertiesMode = true;
    d->isSubmenu = entry.isSubmenu;
    CopyText(d->name, sizeof d->name, entry.name.c_str());
    CopyText(d->target, sizeof d->target, f.target);
    CopyText(d->parameters, sizeof d->parameters, f.parameters);
    CopyText(d->startIn, sizeof d->startIn, f.startIn);
    CopyText(d->iconPath, sizeof d->iconPath, f.iconPath);
    d->iconIndex = f.iconIndex;
    d->runMode = f.runMode;
    d->position = f.position;
    d->separator = f.separator;
}

} // namespace

void RunInsertFlow(const EditContext& context, const MenuEntryAddress& clicked,
                   bool intoEmptySubmenu) {
    ItemDialog dialog(context); // a new item's record
    ItemDialogData& d = dialog.Data();
    CopyText(d.title, sizeof d.title, "Create Menu Item");
    // The new item goes directly after the clicked one, or first into the
    // empty submenu whose placeholder was chosen; -1 where neither is known.
    if (intoEmptySubmenu)
        d.position = 1;
    else if (clicked.found)
        d.position = StoredPosition(clicked) + 1;

    if (dialog.Run() != IDOK || !clicked.keyFound) return;
    char record[kRecordBufferSize];
    BuildRecordFromDialog(d, d.position, record);
    // Make room among the clicked item's siblings before the new one exists.
    if (!intoEmptySubmenu) ShiftPositions(clicked.keyPath, d.position, +1);
    StoreRecord(clicked.keyPath, d, record);
}

void RunPropertiesFlow(const EditContext& context, const MenuEntryAddress& entry) {
    if (!entry.found) {
        MessageBoxA(nullptr, "GetMenuItemData failed", "ExecutePropsDialog", MB_OK);
        return;
    }
    if (entry.placeholder) return;
    ItemDialog dialog(context);
    ItemDialogData& d = dialog.Data();
    CopyText(d.title, sizeof d.title, "Menu Item Properties");
    FillForProperties(entry, &d);
    // Separator lines are entries of their own, so the range counts them.
    d.spinUpper = 1;
    d.spinLower = entry.siblingCount;

    if (dialog.Run() != IDOK || !entry.keyFound) return;
    int newPosition = atoi(d.positionText);
    if (newPosition != d.position) MovePosition(entry.keyPath, d.position, newPosition);
    // The edited record is stored too, at the item's new place.
    char record[kRecordBufferSize];
    BuildRecordFromDialog(d, newPosition, record);
    StoreRecord(entry.keyPath, d, record);
}

void RunDeleteFlow(const EditContext&, const MenuEntryAddress& entry) {
    // Nothing is stored behind the placeholder, and nothing can be found of
    // an entry without a name.
    if (!entry.found || entry.placeholder || entry.name.empty() || !entry.keyFound) return;
    const char* name = entry.name.c_str();
    if (entry.isSubmenu)
        DeleteSubmenu(entry.keyPath, name);
    else
        DeleteMenuItemRegEntry(entry.keyPath, name);
    // The siblings after the deleted item close the gap.
    ShiftPositions(entry.keyPath, StoredPosition(entry), -1);
}
