// Operation kinds of a copy or move request and what each one means to the worker.
#pragma once

namespace g3 {

// The codes the drop menu stores in OpKind. 0 means no operation.
enum OpKindCode : int {
    okNone = 0,
    okMoveNewer = 2,      // move files only, replace only when the source is newer
    okMoveOverwrite = 4,  // move files only, always replace
    okShellCopy = 5,      // the shell file operation's copy of the dropped items
    okShellMove = 6,      // the shell file operation's move of the dropped items
    okAskCopy = 7,        // copy, ask for every existing file
    okAskMove = 8,        // move files only, ask for every existing file
    okCopyNewer = 10,     // copy, replace only when the source is newer
    okCopyOverwrite = 11, // copy, always replace
};

// How a run carries out a kind.
enum class RunKind { None, Direct, JobList, Shell };

// Operation of the per-file routine.
enum CopyOp : int { opCopy = 1, opMove = 2 };
// Same-name policy of the per-file routine.
enum SameNameMode : int { smNewer = 0, smOverwrite = 1, smAsk = 2 };

struct KindPolicy {
    RunKind run = RunKind::None;
    int op = 0;   // CopyOp; for the shell kinds 1 copy, 2 move
    int mode = 0; // SameNameMode (unused by the shell kinds)
};

// The kind-to-policy table; unknown codes give RunKind::None.
KindPolicy policyOfKind(int kind);

} // namespace g3
