// Every edit of the stored menu undoable. An edit flow takes a snapshot of
// the key it is about to change (EditRecorder::Begin), makes its change, and
// hands the difference to the undo journal (Commit). UndoNewest puts the
// newest step back exactly, but only when nothing it changed has been
// changed since. The journal lives in HKCU\Software\Quoril\RoduzuRodidiVo\Undo,
// beside the settings key: one REG_BINARY value per step (named by its
// sequence number, eight hex digits), newest last, at most kUndoMaxSteps
// steps and kUndoBudgetBytes in all. Nothing is kept in memory between calls,
// so every process sees the same journal. A value there that is not an
// intact step is deleted when met and never trusted.
#pragma once
#include <string>
#include <vector>
#include "store/edit_snapshot.h"

#define QUORIL_UNDO_PATH "Software\\Quoril\\RoduzuRodidiVo\\Undo"

enum : size_t { kUndoMaxSteps = 32, kUndoBudgetBytes = kMaxStepBytes };

// Reads the key at the ANSI key path `keyPath` ("" = the settings key,
// "Tools\\Games") and everything beneath it exactly into `out`. False when
// the key is not there or any part of it cannot be read.
bool SnapshotKey(const std::string& keyPath, SnapKey* out);

// Records one edit.
class EditRecorder {
  public:
    // Takes the snapshot of the key at `holdingKeyPath`, the key the edit is
    // about to change (for an edit of two keys, a key holding both). False
    // when it cannot be read: the edit is then not recorded.
    bool Begin(const std::string& holdingKeyPath);
    // Takes the snapshot again and adds what changed as the newest undo
    // step: `label` says what the user did, `subjectKeyPath` and
    // `subjectName` name the entry it was about. False when nothing was
    // recorded: no Begin, nothing changed, or a step that cannot be stored.
    bool Commit(const std::string& label, const std::string& subjectKeyPath,
                const std::string& subjectName);
    // Forgets the snapshot, as an edit that was cancelled does.
    void Cancel();

  private:
    bool m_begun = false;
    std::vector<std::u16string> m_path;
    SnapKey m_before;
};

// Adds `step` as the newest step, dropping the oldest ones beyond the bounds.
// False when it is not kept.
bool PushUndoStep(const EditStep& step);

// The label of the newest step that can be undone; false when there is none.
bool PeekUndo(std::string* label);

// What an undo put back: the step's label and the entry it was about.
struct UndoRestored {
    std::string label;
    std::vector<std::u16string> subjectPath;
    std::u16string subjectName;
    // The same as an ANSI key path and name, when the code page holds them.
    bool subjectAnsi = false;
    std::string subjectKeyPath;
    std::string subjectAnsiName;
};

enum UndoOutcome {
    kUndoNothing,      // no step to undo
    kUndoDone,         // the menu is as it was before the step's edit; the step is gone
    kUndoChangedSince, // a place the step changed was changed since: nothing written, step kept
    kUndoFailed,       // a read or write failed: the menu is as it was, the step kept
};

// Undoes the newest step. An undo is not itself recorded.
UndoOutcome UndoNewest(UndoRestored* restored);
