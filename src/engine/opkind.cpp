#include "engine/opkind.h"

namespace g3 {

KindPolicy policyOfKind(int kind) {
    switch (kind) {
    case okCopyNewer: return {RunKind::Direct, opCopy, smNewer};
    case okCopyOverwrite: return {RunKind::Direct, opCopy, smOverwrite};
    case okMoveNewer: return {RunKind::Direct, opMove, smNewer};
    case okMoveOverwrite: return {RunKind::Direct, opMove, smOverwrite};
    case okAskCopy: return {RunKind::JobList, opCopy, smAsk};
    case okAskMove: return {RunKind::JobList, opMove, smAsk};
    case okShellCopy: return {RunKind::Shell, opCopy, 0};
    case okShellMove: return {RunKind::Shell, opMove, 0};
    default: return {};
    }
}

} // namespace g3
