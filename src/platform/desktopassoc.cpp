#include "platform/desktopassoc.h"

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/fileops.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/xdgdirs.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

namespace g3 {

namespace {

struct GFreeDeleter {
    void operator()(void* p) const { g_free(p); }
};
struct KeyFileDeleter {
    void operator()(GKeyFile* k) const { g_key_file_unref(k); }
};
struct ObjectDeleter {
    void operator()(void* o) const { g_object_unref(o); }
};
struct ErrorDeleter {
    void operator()(GError* e) const { g_error_free(e); }
};
using GText = std::unique_ptr<char, GFreeDeleter>;
using KeyFile = std::unique_ptr<GKeyFile, KeyFileDeleter>;
using AppInfo = std::unique_ptr<GDesktopAppInfo, ObjectDeleter>;
using Error = std::unique_ptr<GError, ErrorDeleter>;

constexpr const char* kEntryGroup = G_KEY_FILE_DESKTOP_GROUP;

std::string extensionToken(std::string_view ext) {
    std::string token;
    for (char c : ext) {
        const unsigned char b = static_cast<unsigned char>(lowerAscii(c));
        if ((b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')) {
            token += static_cast<char>(b);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "_%02x", b);
            token += hex;
        }
    }
    return token;
}

std::string knownMimeType(std::string_view ext) {
    gboolean uncertain = FALSE;
    GText type(g_content_type_guess(("x." + std::string(ext)).c_str(), nullptr, 0, &uncertain));
    if (!type || g_content_type_is_unknown(type.get())) return {};
    return type.get();
}

std::string xmlEscaped(std::string_view s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

// Runs argv (searched in PATH) and waits for it; true when it ended with status 0.
bool runAndWait(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int status = 0;
    GError* raw = nullptr;
    const gboolean ran = g_spawn_sync(nullptr, argv.data(), nullptr,
                                      GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                                  G_SPAWN_STDERR_TO_DEV_NULL),
                                      nullptr, nullptr, nullptr, nullptr, &status, &raw);
    Error error(raw);
    return ran && g_spawn_check_wait_status(status, nullptr);
}

// A glob type of our own for the extension, and the database rebuilt with it.
bool defineOwnType(std::string_view ext, const std::string& type) {
    const std::string mime = joinPath(dataHome(), "mime");
    const std::string packages = joinPath(mime, "packages");
    const std::string e = xmlEscaped(ext);
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"" + type + "\">\n"
        "    <comment>" + e + "ファイル</comment>\n"
        "    <glob pattern=\"*." + e + "\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n";
    if (!forceDirectories(packages) ||
        !writeFileAtomically(joinPath(packages, "grottan3-" + extensionToken(ext) + ".xml"), xml))
        return false;
    if (!runAndWait({"update-mime-database", mime})) {
        setLastError(EIO);
        return false;
    }
    return true;
}

// A path (without "%") as one argument of an Exec line: as it stands when it holds none of
// the reserved characters, else in double quotes with ", `, $ and \ escaped by a backslash
// (the key file's own escapes come on top). Unquoted where it can be, since simpler readers
// of Exec (xdg-mime) take its first blank-separated word.
std::string execArgument(std::string_view path) {
    const bool quote = path.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string_view::npos;
    std::string out = quote ? "\"" : "";
    for (char c : path) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
        out += c;
    }
    return quote ? out + "\"" : out;
}

bool writeDesktopEntry(const std::string& file, const std::string& program, const std::string& type) {
    KeyFile entry(g_key_file_new());
    g_key_file_set_string(entry.get(), kEntryGroup, G_KEY_FILE_DESKTOP_KEY_TYPE,
                          G_KEY_FILE_DESKTOP_TYPE_APPLICATION);
    g_key_file_set_string(entry.get(), kEntryGroup, G_KEY_FILE_DESKTOP_KEY_NAME, namePart(program).c_str());
    g_key_file_set_string(entry.get(), kEntryGroup, G_KEY_FILE_DESKTOP_KEY_EXEC,
                          (execArgument(program) + " %f").c_str());
    // GIO checks the program of an entry with TryExec, else with Exec's first argument
    // before its percent signs are undone; TryExec holds the path as it stands.
    g_key_file_set_string(entry.get(), kEntryGroup, G_KEY_FILE_DESKTOP_KEY_TRY_EXEC, program.c_str());
    const char* types[] = {type.c_str()};
    g_key_file_set_string_list(entry.get(), kEntryGroup, G_KEY_FILE_DESKTOP_KEY_MIME_TYPE, types, 1);
    g_key_file_set_boolean(entry.get(), kEntryGroup, G_KEY_FILE_DESKTOP_KEY_NO_DISPLAY, TRUE);
    gsize length = 0;
    GText data(g_key_file_to_data(entry.get(), &length, nullptr));
    return forceDirectories(parentFolder(file)) &&
           writeFileAtomically(file, std::string_view(data.get(), length));
}

} // namespace

bool registerWithDesktop(std::string_view ext, const std::string& program, DesktopRegistration& out) {
    out = {};
    if (!isValidUtf8(ext) || !isValidUtf8(program)) {
        setLastError(EILSEQ);
        return false;
    }
    // GIO checks an entry's program before it undoes the doubled percent signs of Exec, and
    // so refuses every entry for such a path.
    if (program.find('%') != std::string::npos) {
        setLastError(EINVAL);
        return false;
    }
    const std::string token = extensionToken(ext);
    out.mimeType = knownMimeType(ext);
    if (out.mimeType.empty()) {
        out.mimeType = "application/x-grottan3-" + token;
        if (!defineOwnType(ext, out.mimeType)) return false;
    }
    out.desktopFile = joinPath(joinPath(dataHome(), "applications"), "grottan3_" + token + ".desktop");
    if (!writeDesktopEntry(out.desktopFile, program, out.mimeType)) return false;
    // From the file rather than by its ID: GIO's list of the folder's entries may not have
    // seen a file written a moment ago.
    AppInfo app(g_desktop_app_info_new_from_filename(out.desktopFile.c_str()));
    GError* raw = nullptr;
    const bool set = app && g_app_info_set_as_default_for_type(G_APP_INFO(app.get()), out.mimeType.c_str(), &raw);
    Error error(raw);
    if (!set) setLastError(EIO);
    return set;
}

} // namespace g3
