// The program's registry file: the open command it gives a file, with keys that match
// without regard to case, and the key paths it refuses.
#include "platform/registry.h"

#include "platform/errors.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace g3;
using g3test::TempDir;

TEST(RegistryTest, OpenCommandOfAFile) {
    TempDir t;
    RegistryStore store(t / "registry.ini");
    const struct {
        const char* ext;
        const char* command;
    } keys[] = {
        {"TXT", "\"/apps/my \"odd\" editor\" \"%1\""}, // the program's own form, any path
        {"md", "/usr/bin/viewer --page \"%1\" -x"},
        {"log", "\"/apps/two words\" %L"},
        {"raw", ""},
    };
    for (const auto& k : keys) {
        const std::string id = std::string("grottan3_") + k.ext;
        ASSERT_TRUE(store.setDefaultValue(std::string(".") + k.ext, id));
        if (*k.command) {
            ASSERT_TRUE(store.setDefaultValue(id + "\\shell\\open\\command", k.command));
        }
    }
    using Args = std::vector<std::string>;
    const struct {
        const char* path;
        Args argv;
    } cases[] = {
        {"/d/a b.txt", {"/apps/my \"odd\" editor", "/d/a b.txt"}},
        {"/d/x.md", {"/usr/bin/viewer", "--page", "/d/x.md", "-x"}},
        {"/d/x.log", {"/apps/two words", "/d/x.log"}},
        {"/d/x.raw", {}},  // a program identifier without a command
        {"/d/x.doc", {}},  // an extension nobody associated
        {"/d/txt", {}},    // no extension
        {"/d.txt/x.", {}}, // an empty one
    };
    // What was written reads back from the file.
    const RegistryStore reread(t / "registry.ini");
    for (const auto& c : cases) EXPECT_EQ(storedOpenCommand(reread, c.path), c.argv) << c.path;

    const std::string before = g3test::readFile(t / "registry.ini");
    for (const char* bad : {"", "a]b", "[a", "a\nb", "a\tb"}) {
        EXPECT_FALSE(store.setDefaultValue(bad, "x")) << bad;
        EXPECT_EQ(lastError(), EINVAL);
    }
    EXPECT_FALSE(store.setDefaultValue(".x", "two\nlines"));
    EXPECT_EQ(g3test::readFile(t / "registry.ini"), before);
}
