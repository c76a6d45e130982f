#include "platform/desktopapps.h"

#include "platform/filelists.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <algorithm>
#include <memory>

namespace g3 {

namespace {

struct GObjectUnref {
    void operator()(gpointer p) const { g_object_unref(p); }
};
template <class T>
using GPtr = std::unique_ptr<T, GObjectUnref>;

struct AppListFree {
    void operator()(GList* l) const { g_list_free_full(l, g_object_unref); }
};
using AppList = std::unique_ptr<GList, AppListFree>;

DesktopApp describe(GAppInfo* info) {
    const char* id = g_app_info_get_id(info);
    const char* name = g_app_info_get_name(info);
    return {id ? id : "", name ? name : ""};
}

// GIO hands the URIs to the program as they stand (%u) or turns them back into the
// paths' exact bytes (%f), so no name is ever converted through a character set.
bool launch(GAppInfo* info, const std::vector<std::string>& paths) {
    if (!info) return false;
    std::vector<std::string> uris;
    uris.reserve(paths.size());
    for (const std::string& p : paths) uris.push_back(fileUri(p));
    GList* list = nullptr;
    for (auto it = uris.rbegin(); it != uris.rend(); ++it)
        list = g_list_prepend(list, const_cast<char*>(it->c_str()));
    GError* error = nullptr;
    const bool ok = g_app_info_launch_uris(info, list, nullptr, &error);
    g_list_free(list);
    if (error) g_error_free(error);
    return ok;
}

} // namespace

std::vector<DesktopApp> applicationsForType(const std::string& mimeType) {
    std::vector<DesktopApp> out;
    GPtr<GAppInfo> def(g_app_info_get_default_for_type(mimeType.c_str(), FALSE));
    if (def) out.push_back(describe(def.get()));
    AppList all(g_app_info_get_all_for_type(mimeType.c_str()));
    for (GList* l = all.get(); l; l = l->next) {
        auto* info = static_cast<GAppInfo*>(l->data);
        if (!g_app_info_should_show(info)) continue;
        DesktopApp app = describe(info);
        const bool known = std::any_of(out.begin(), out.end(), [&](const DesktopApp& a) { return a.id == app.id; });
        if (!known && !app.id.empty()) out.push_back(std::move(app));
    }
    return out;
}

bool launchApplication(const std::string& id, const std::vector<std::string>& paths) {
    GPtr<GDesktopAppInfo> info(g_desktop_app_info_new(id.c_str()));
    return launch(G_APP_INFO(info.get()), paths);
}

bool launchDesktopEntry(const std::string& desktopFile, const std::vector<std::string>& paths) {
    GPtr<GDesktopAppInfo> info(g_desktop_app_info_new_from_filename(desktopFile.c_str()));
    return launch(G_APP_INFO(info.get()), paths);
}

std::string desktopEntryName(const std::string& desktopFile) {
    GPtr<GDesktopAppInfo> info(g_desktop_app_info_new_from_filename(desktopFile.c_str()));
    if (!info) return {};
    const char* name = g_app_info_get_name(G_APP_INFO(info.get()));
    return name ? name : "";
}

} // namespace g3
