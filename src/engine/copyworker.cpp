#include "engine/copyworker.h"

#include "engine/fileprobe.h"
#include "platform/dostime.h"
#include "platform/errors.h"
#include "platform/fileops.h"
#include "platform/paths.h"
#include "platform/pump.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

namespace g3 {

const char* const TCopyEngine::kProgressCaption =
    "Grottan3 ファイル処理　※大容量・大量の家はかなり時間がかかります";
const char* const TCopyEngine::kJobLine1 = "建て増し/引越し処理中　しばらくお待ちください ";

namespace {

const char* const kLabelCopy = "建て増し";
const char* const kLabelMove = "引っ越し";

// Between the pieces of one large file the window gets its events; a direct run cannot be
// interrupted, so the piece callback never cancels.
bool pumpBetweenPieces(std::uint64_t, std::uint64_t) {
    pumpMessages();
    return true;
}

// The age dosAgeOfPath gives, from a status already read (-1 for a folder or a time the
// DOS format cannot hold).
std::int32_t dosAgeOfStatus(const struct stat& st) {
    std::uint32_t dos = 0;
    if (S_ISDIR(st.st_mode) || !fileTimeToDos(fileTimeFromTimespec(st.st_mtim), dos)) return -1;
    return static_cast<std::int32_t>(dos);
}

std::string timeText(std::int32_t age) {
    return age == -1 ? std::string() : formatDosLong(static_cast<std::uint32_t>(age));
}

// Holds the run state from the start of a run to its end, also when an exception leaves.
class RunGuard {
public:
    RunGuard(bool& running, std::string& runDir, const std::string& dest, CopyHost& host)
        : running_(running), runDir_(runDir), host_(host) {
        running_ = true;
        runDir_ = dest;
        host_.runStateChanged(true);
    }
    ~RunGuard() {
        running_ = false;
        runDir_.clear();
        host_.runStateChanged(false);
    }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;

private:
    bool& running_;
    std::string& runDir_;
    CopyHost& host_;
};

} // namespace

// --- worker bodies -------------------------------------------------------------------

TCopyMoveThread::TCopyMoveThread(TCopyEngine& engine, const std::vector<std::string>& files,
                                 int count)
    : engine_(engine), files_(files), count_(count) {}

void TCopyMoveThread::Execute() {
    auto& e = engine_;
    e.host_.openProgress(false, TCopyEngine::kProgressCaption, 1, 0);
    KindPolicy p = policyOfKind(e.OpKind);
    for (int i = 0; i < count_; ++i) {
        std::string path = currentFolderForm(files_[static_cast<size_t>(i)]);
        e.SrcBaseDir = parentFolder(path);
        if (TCopyEngine::myIsFolder(path)) {
            e.FindCopiFast.setBaseDir(path);
            e.FindCopiFast.Run();
        } else {
            e.myPasFilCopyMove(path, joinPath(e.runDir_, namePart(path)), p.mode, p.op);
        }
    }
    e.host_.closeProgress();
}

void TsampleThread::Execute() {
    auto& e = engine_;
    e.host_.openProgress(false, TCopyEngine::kProgressCaption, 1, 0);
    for (int i = 0; i < e.JobCount; ++i) {
        const auto row = static_cast<size_t>(i);
        const std::string& src = e.lbxMoto[row];
        const std::string& dst = e.lbxSaki[row];
        e.OpKind = std::atoi(e.lbxOpe[row].c_str());
        bool RunStopped = !e.host_.updateProgress(false, TCopyEngine::kJobLine1,
                                                  parentFolder(dst), namePart(dst));
        if (RunStopped) break;
        e.myPasFilCopyMove(src, dst, smAsk, e.OpKind == okAskCopy ? opCopy : opMove);
    }
    e.host_.closeProgress();
}

// --- the engine ----------------------------------------------------------------------

TCopyEngine::TCopyEngine(CopyHost& host) : host_(host) {
    // No conditions: every entry reaches the handlers, which skip the real folders
    // themselves. A size condition would compare only the low 32 bits of a size and lose
    // large files; an attribute condition on the directory bit would lose links to folders,
    // which are copied as links.
    for (TFindFile* f : {&FindCopi, &FindCopiFast}) {
        f->Conditions = {};
        f->AttrDirectory = false;
        f->setSearchSubDir(true);
        f->FileMask = "*.*";
        f->DirMask = "*.*";
    }
    FindCopi.OnFind = [this](TFindFile& s, const FindData& d, const std::string& dir, bool& c) {
        FindCopiFind(s, d, dir, c);
    };
    FindCopiFast.OnFind = [this](TFindFile& s, const FindData& d, const std::string& dir,
                                 bool& c) { FindCopiFastFind(s, d, dir, c); };
}

std::string TCopyEngine::selfNestingText(const std::string& folder, const std::string& dest) {
    return "洞窟「" + folder + "」を、その洞窟自身やその中の洞窟「" + dest +
           "」へ建て増し・引っ越しすることはできません。";
}

// A dropped folder that contains the destination would meet its own copies during the
// walk; such a request is refused before any file is touched.
bool TCopyEngine::refuseSelfNesting(const std::vector<std::string>& files) {
    for (const auto& f : files) {
        std::string path = currentFolderForm(f);
        if (myIsFolder(path) && isSameFolderOrInside(runDir_, path)) {
            host_.showRefusal(selfNestingText(path, runDir_));
            return true;
        }
    }
    return false;
}

bool TCopyEngine::copinew(const std::vector<std::string>& Files, const std::string& curDir) {
    if (running_) return false;
    host_.clearErrors();
    SameNameForAll = false;
    SameNameAnswer = 0;
    host_.prepareSameName();
    if (Files.empty()) return true;
    RunGuard guard(running_, runDir_, curDir, host_);
    KindPolicy p = policyOfKind(OpKind);
    if ((p.run == RunKind::Direct || p.run == RunKind::JobList) && refuseSelfNesting(Files))
        return false;
    host_.setMonitorActive(false);
    if (p.run == RunKind::Shell) {
        copimuv(p.op, Files, curDir);
    } else if (p.run == RunKind::Direct) {
        TCopyMoveThread worker(*this, Files, static_cast<int>(Files.size()));
        worker.Execute();
    } else if (p.run == RunKind::JobList) {
        listJobs(Files);
        TsampleThread worker(*this);
        worker.Execute();
    }
    host_.setMonitorActive(true);
    host_.refreshTree();
    if (host_.errorCount() > 0) host_.offerErrorReport();
    return true;
}

void TCopyEngine::listJobs(const std::vector<std::string>& files) {
    JobCount = 0;
    lbxMoto.clear();
    lbxSaki.clear();
    lbxOpe.clear();
    for (const auto& f : files) {
        std::string path = currentFolderForm(f);
        SrcBaseDir = parentFolder(path);
        if (myIsFolder(path)) {
            FindCopi.setBaseDir(path);
            FindCopi.Run();
        } else {
            addJob(path, joinPath(runDir_, namePart(path)));
        }
    }
}

void TCopyEngine::addJob(const std::string& src, const std::string& dst) {
    lbxMoto.push_back(src);
    lbxSaki.push_back(dst);
    lbxOpe.push_back(std::to_string(OpKind));
    ++JobCount;
}

// The file's place below the destination: its path relative to SrcBaseDir, so a dropped
// folder is reproduced as itself with its inner structure.
std::string TCopyEngine::mirrorOf(const std::string& currentDir, const std::string& name) const {
    std::string src = joinPath(currentDir, name);
    return joinPath(runDir_, relativePath(src, SrcBaseDir));
}

void TCopyEngine::FindCopiFind(TFindFile&, const FindData& FindData,
                               const std::string& CurrentDir, bool&) {
    if (FindData.isDirectory() && !(FindData.attributes & faLink)) return;
    addJob(joinPath(CurrentDir, FindData.name), mirrorOf(CurrentDir, FindData.name));
}

void TCopyEngine::FindCopiFastFind(TFindFile&, const FindData& FindData,
                                   const std::string& CurrentDir, bool&) {
    if (FindData.isDirectory() && !(FindData.attributes & faLink)) return;
    KindPolicy p = policyOfKind(OpKind);
    myPasFilCopyMove(joinPath(CurrentDir, FindData.name), mirrorOf(CurrentDir, FindData.name),
                     p.mode, p.op);
}

void TCopyEngine::addError(const std::string& Src, const std::string& Dst,
                           const std::string& Label, int code) {
    host_.addErrorMessage(Src + " から", Dst + " への" + Label + "で、", code);
}

void TCopyEngine::myPasFilCopyMove(const std::string& Src, const std::string& Dst, int Mode,
                                   int Op) {
    const std::string Label = Op == opCopy ? kLabelCopy : kLabelMove;
    // One status of each path serves every question below: whether Dst and its folder
    // exist, the age of Dst, the kind of Src and its age (a link's age is its target's).
    struct stat dstSt {};
    const bool dstExists = ::stat(Dst.c_str(), &dstSt) == 0;
    // An existing Dst has its folder already.
    if (!dstExists) {
        std::string folder = parentFolder(Dst);
        if (!isFolder(folder)) forceDirectories(folder);
    }

    // Folders and special files (FIFOs, devices, sockets) are never opened or moved.
    struct stat srcSt {};
    EntryKind kind = entryKindOf(Src, srcSt);
    if (kind == EntryKind::Folder || kind == EntryKind::Special) {
        addError(Src, Dst, Label, kind == EntryKind::Folder ? EISDIR : ENOTSUP);
        return;
    }
    std::int32_t srcAge = kind == EntryKind::File ? dosAgeOfStatus(srcSt) : dosAgeOfPath(Src);
    std::int32_t dstAge = dstExists ? dosAgeOfStatus(dstSt) : -1;
    if (dstAge != -1) {
        if (Mode == smOverwrite || (Mode == smNewer && srcAge > dstAge))
            copyEntry(Src, Dst, Label, false, Op, kind);
        else if (Mode == smAsk)
            askAndApply(Src, Dst, Label, Op, srcAge, dstAge, kind);
        return;
    }
    if (Op == opCopy)
        copyEntry(Src, Dst, Label, false, opCopy, kind);
    else
        moveNew(Src, Dst, kind);
}

void TCopyEngine::askAndApply(const std::string& Src, const std::string& Dst,
                              const std::string& Label, int Op, std::int32_t srcAge,
                              std::int32_t dstAge, EntryKind kind) {
    if (!SameNameForAll)
        SameNameAnswer = host_.askSameName(Label, Dst, fnFileSizeGet(Src), fnFileSizeGet(Dst),
                                           timeText(srcAge), timeText(dstAge));
    switch (SameNameAnswer) {
    case 0: if (srcAge > dstAge) copyEntry(Src, Dst, Label, false, Op, kind); break;
    case 1: copyEntry(Src, Dst, Label, false, Op, kind); break;
    case 3:
        if (srcAge > dstAge) copyEntry(Src, Dst, Label, false, Op, kind);
        SameNameForAll = true;
        break;
    case 4: copyEntry(Src, Dst, Label, false, Op, kind); SameNameForAll = true; break;
    case 5:
    case 6: SameNameForAll = true; break;
    default: break;
    }
}

void TCopyEngine::moveNew(const std::string& Src, const std::string& Dst, EntryKind kind) {
    bool ok = kind == EntryKind::Link ? moveLink(Src, Dst)
                                                   : moveFile(Src, Dst, pumpBetweenPieces);
    if (!ok) addError(Src, Dst, kLabelMove, lastError());
}

// The source of a move goes only after its copy succeeded; a failed delete leaves it.
void TCopyEngine::myFileCopy(const std::string& Src, const std::string& Dst,
                             const std::string& Label, bool FailIfExists, int Op) {
    copyEntry(Src, Dst, Label, FailIfExists, Op, entryKindOf(Src));
}

// myFileCopy with the kind of Src already known.
void TCopyEngine::copyEntry(const std::string& Src, const std::string& Dst,
                            const std::string& Label, bool FailIfExists, int Op, EntryKind kind) {
    try {
        bool ok;
        if (kind == EntryKind::Link) {
            ok = !sameEntry(Src, Dst) && !(FailIfExists && pathExists(Dst)) &&
                 replaceWithLink(Src, Dst);
            if (!ok && lastError() == 0) setLastError(EEXIST);
        } else {
            ok = copyFile(Src, Dst, FailIfExists, pumpBetweenPieces);
        }
        if (!ok) {
            addError(Src, Dst, Label, lastError());
            return;
        }
        if (Op == opMove) deleteFile(Src);
    } catch (...) {
    }
}

// A dropped link to a folder is not a folder here: it is taken as the link itself, as
// links inside a dropped folder are. Walking it would copy or move the files it points to.
bool TCopyEngine::myIsFolder(const std::string& Path) {
    if (Path.empty() || Path == "/") return false;
    return entryKindOf(Path) == EntryKind::Folder;
}

std::int64_t TCopyEngine::fnFileSizeGet(const std::string& Path) { return fileSizeOf(Path); }

int TCopyEngine::runShell(unsigned func, std::vector<std::string> from, const std::string& to) {
    ShellFileOpRequest req;
    req.func = func;
    req.from = std::move(from);
    req.to = to;
    req.flags = FOF_ALLOWUNDO;
    ShellFileOperation op(std::move(req));
    return host_.runShellOperation(op);
}

void TCopyEngine::copimuv(int Kind, const std::vector<std::string>& Files,
                          const std::string& curDir) {
    if (Files.empty()) return;
    host_.setMonitorActive(false);
    runShell(Kind == opCopy ? FO_COPY : FO_MOVE, Files, curDir);
    host_.setMonitorActive(true);
    host_.refreshTree();
}

bool TCopyEngine::copimuv2(int Kind, const std::vector<std::string>& selectedNames,
                           const std::string& curDir) {
    if (running_) return false;
    if (selectedNames.empty()) return true;
    std::vector<std::string> from;
    for (const auto& n : selectedNames) from.push_back(joinPath(curDir, n));
    std::string title = Kind == opCopy ? "建て増し先の洞窟指定" : "引っ越し先の洞窟指定";
    std::string folder;
    if (!host_.chooseFolder(title, folder) || folder.empty()) return true;
    RunGuard guard(running_, runDir_, folder, host_);
    host_.setMonitorActive(false);
    runShell(Kind == opCopy ? FO_COPY : FO_MOVE, std::move(from), folder);
    host_.setMonitorActive(true);
    host_.refreshTree();
    return true;
}

} // namespace g3
