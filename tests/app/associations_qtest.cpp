// Becoming a relative: the checks of the selected house and of the typed type name with
// their boxes, the four registry values, the program's own opening through them, and a
// registry that cannot be written.
#include "app/Unit1.h"
#include "app/associations.h"
#include "platform/registry.h"
#include "shellviews/shellexec.h"
#include "support/fakewindow.h"
#include "support/programs.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <sys/stat.h>

using namespace g3;
using namespace g3test;

namespace {

// Before main: GLib reads the user's folders once per process.
const DesktopHome home;

QString q(const std::string& s) { return QString::fromStdString(s); }

// The command on the window's one selected house, with the prompt answered in turn by
// each typed text (nullopt cancels); the boxes it showed, each as "caption|text".
using Typed = std::deque<std::optional<std::string>>;
struct Run {
    FakeWindow w;
    AssociationController c{w, nullptr};

    QStringList operator()(const std::string& folder, const std::string& name, const Typed& typed) {
        w.curDir = folder;
        w.selection = {name};
        w.typed = typed;
        w.asked.clear();
        w.doubles.seen.clear();
        c.pmF04()->trigger();
        QStringList boxes;
        for (const MessageRequest& r : w.doubles.seen) boxes << r.caption + "|" + r.text;
        return boxes;
    }
};

// The boxes on the screen, and the prompt drawn with each request's texts before it is
// answered as FakeWindow answers it.
struct ScreenWindow : FakeWindow {
    ScreenMessageBoxes screen;
    Services onScreen{screen, doubles, doubles, nullptr, {}};
    const Services& services() const override { return onScreen; }
    bool askInput(const InputRequest& req, std::string& text) override {
        password.setWindowTitle(q(req.caption));
        password.Label1->setText(q(req.prompt));
        password.OKBtn->setText(q(req.okCaption));
        password.Password->setText(typed.empty() || !typed.front() ? QString() : q(*typed.front()));
        if (asked.empty()) password.grab().save(QStringLiteral("/tmp/shots/assoc-prompt.png"));
        return FakeWindow::askInput(req, text);
    }
};

} // namespace

class AssociationsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TempDir> t;

private slots:
    void init() {
        t = std::make_unique<TempDir>();
        ::setenv("G3_CONFIG_DIR", t->mkdir("config").c_str(), 1);
    }
    void cleanup() { ::unsetenv("G3_CONFIG_DIR"); }

    void typeNames_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("fault");
        const struct {
            const char* typed;
            TypeNameFault fault;
        } rows[] = {
            {"\t\x01txt\x7f\r\n", TypeNameFault::None}, // blanks and control characters trimmed
            {"t xt", TypeNameFault::None},
            {"tar.gz", TypeNameFault::Period},
            {"ｱｲｳｴｵｶｷｸ", TypeNameFault::None}, // half-width kana: one byte each
            {"😀😀😀😀😀", TypeNameFault::TooLong},  // characters CP932 lacks: two each
            {"a\tb", TypeNameFault::BadCharacter},
            {"a/b", TypeNameFault::BadCharacter},
            {"[ab]", TypeNameFault::BadCharacter},
        };
        for (const auto& r : rows) QTest::newRow(r.typed) << QString::fromUtf8(r.typed) << int(r.fault);
    }
    void typeNames() {
        QFETCH(QString, typed);
        QFETCH(int, fault);
        QCOMPARE(int(checkTypeName(trimmedTypeName(typed.toStdString()))), fault);
    }

    // A name ending in .EXE or a program by its content is asked for a type name, with the
    // prompt's texts; anything else gets the notice with its full path.
    void onlyExecutableHousesAreAsked() {
        const struct {
            const char* name;
            const char* content;
            mode_t mode;
            bool executable;
        } houses[] = {
            {"readme.txt", "text", 0644, false},
            {"notes", "text", 0755, false},
            {"SETUP.EXE", "", 0644, true},
            {"tool", "#!/bin/sh\n", 0755, true},
        };
        for (const auto& h : houses) {
            ::chmod(t->write(h.name, h.content).c_str(), h.mode);
            Run run;
            const QStringList boxes = run(t->path(), h.name, {std::nullopt});
            QCOMPARE(run.w.asked.size(), std::size_t(h.executable ? 1 : 0));
            if (!h.executable)
                QCOMPARE(boxes, QStringList{"Grottan3 お知らせ|" + q(t->path(h.name)) +
                                            "\n\r\n\rは実行型の家(.EXE)ではありませんので親戚になれません"});
        }
        Run run;
        run(t->path(), "tool", {std::nullopt});
        const InputRequest& asked = run.w.asked.at(0);
        QCOMPARE(q(asked.caption), QStringLiteral("toolへの親戚付け"));
        QCOMPARE(q(asked.prompt), QStringLiteral("TXT BMP WAV などのように型名を一つ入力してね。（ピリオド.は不要です）"));
        QCOMPARE(q(asked.okCaption), QStringLiteral("親戚になる"));
        QVERIFY(!asked.prefill); // the field offers what was typed last
        QVERIFY(!exists(t->path("config/registry.ini")));
    }

    // The prompt again after each refused name, until one is accepted (the four values
    // written) or the user cancels (nothing written).
    void promptUntilAcceptedOrCancelled_data() {
        QTest::addColumn<QStringList>("typed"); // "" cancels
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("stored");
        const QString houseCheck = "Grottan3 ♪家の親戚付けでの確認|";
        const QString done = "Grottan3 ♪ファイルの関連付けでのお知らせ|%1型のファイルは\r\n\r\n%2に関連付けされました";
        QTest::newRow("blanks around") << QStringList{" txt "} << QStringList{done.arg("txt")} << "txt";
        QTest::newRow("period, nine, eight")
            << QStringList{".txt", "abcdefghi", "abcdefgh"}
            << QStringList{"Grottan3 ♪ファイルの親戚付けでの確認|.txt\r\n\r\nのピリオド.は不要です",
                           houseCheck + "abcdefghi\r\n\r\n拡張子は8文字以内です", done.arg("abcdefgh")}
            << "abcdefgh";
        QTest::newRow("double-byte characters count two")
            << QStringList{"テキストA", "テキスト"}
            << QStringList{houseCheck + "テキストA\r\n\r\n拡張子は8文字以内です", done.arg("テキスト")} << "テキスト";
        QTest::newRow("empty, then cancel")
            << QStringList{"  ", ""}
            << QStringList{houseCheck + "型名が空っぽです\r\n\r\nTXT BMP WAV などのように型名を一つ入力してね"} << "";
        QTest::newRow("a wildcard, then cancel")
            << QStringList{"*", ""} << QStringList{houseCheck + "*\r\n\r\nの型名に \\ / * ? [ ] や制御文字は使えません"}
            << "";
        QTest::newRow("cancel") << QStringList{""} << QStringList{} << "";
    }
    void promptUntilAcceptedOrCancelled() {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, boxes);
        QFETCH(QString, stored);
        const std::string editor = t->write("editor.exe", "MZ");
        Typed answers;
        for (const QString& text : typed)
            answers.push_back(text.isEmpty() ? std::nullopt : std::optional(text.toStdString()));
        Run run;
        if (!stored.isEmpty()) boxes.back() = boxes.back().arg(q(editor));
        QCOMPARE(run(t->path(), "editor.exe", answers), boxes);
        QVERIFY(run.w.typed.empty());
        if (stored.isEmpty()) {
            QVERIFY(!exists(t->path("config/registry.ini")));
            return;
        }
        const std::string e = stored.toStdString(), id = "grottan3_" + e;
        RegistryStore store;
        QCOMPARE(q(store.defaultValue("." + e)), q(id));
        QCOMPARE(q(store.defaultValue(id)), q(e + "ファイル"));
        QCOMPARE(q(store.defaultValue(id + "\\DefaultIcon")), q("\"" + editor + "\",0"));
        QCOMPARE(q(store.defaultValue(id + "\\shell\\open\\command")), q("\"" + editor + "\" \"%1\""));
    }

    // A second program takes the identifier's three values; the program's own opening and
    // the desktop entry follow it.
    void aSecondProgramTakesOver() {
        const std::string first = t->path("first prog"), second = t->path("second.exe");
        writeRecordingProgram(first);
        writeRecordingProgram(second);
        const std::string doc = t->write("a doc.txt", "A");
        Run run;
        run(t->path(), "first prog", {"txt"});
        run(t->path(), "second.exe", {"TXT"});
        RegistryStore store;
        QCOMPARE(q(store.defaultValue(".txt")), QStringLiteral("grottan3_TXT"));
        QCOMPARE(q(store.defaultValue("grottan3_txt")), QStringLiteral("TXTファイル"));
        QCOMPARE(q(store.defaultValue("grottan3_txt\\DefaultIcon")), q("\"" + second + "\",0"));
        QCOMPARE(q(store.defaultValue("grottan3_txt\\shell\\open\\command")), q("\"" + second + "\" \"%1\""));
        const std::string entry = readFile(home.dir / ".local/share/applications/grottan3_txt.desktop");
        QVERIFY2(entry.find("Exec=" + second + " %f") != std::string::npos, entry.c_str());
        DesktopOpener opener;
        QVERIFY(opener.ShellExecuteItem(doc, t->path()));
        QCOMPARE(q(awaitFile(second + ".record")), q(doc + "\n"));
        QVERIFY(!exists(first + ".record"));
    }

    // The general error display with the value's name; no success box.
    void aRegistryThatCannotBeWritten() {
        t->write("file", "");
        ::setenv("G3_CONFIG_DIR", t->path("file/config").c_str(), 1);
        t->write("editor.exe", "MZ");
        Run run;
        QCOMPARE(run(t->path(), "editor.exe", {"txt"}), QStringList{"エラー|'' の設定に失敗しました"});
    }

    void nothingWithoutExactlyOneItem() {
        using Names = std::vector<std::string>;
        for (const Names& selection : {Names{}, Names{"a.exe", "b.exe"}}) {
            Run run;
            run.w.selection = selection;
            run.c.pmF04()->trigger();
            QVERIFY(run.w.asked.empty());
            QVERIFY(run.w.doubles.seen.empty());
        }
    }

    // With G3_SHOTS set: the prompt and every box of the command as the screen shows them,
    // each box taken as it shows and closed.
    void screens() {
        if (!qEnvironmentVariableIsSet("G3_SHOTS")) QSKIP("G3_SHOTS not set");
        t->write("readme.txt", "");
        t->write("editor.exe", "MZ");
        ScreenWindow w;
        w.curDir = t->path();
        AssociationController c(w, nullptr);
        int n = 0;
        QTimer snap;
        connect(&snap, &QTimer::timeout, &snap, [&n] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->grab().save(QStringLiteral("/tmp/shots/assoc-box%1.png").arg(++n));
                box->accept();
            }
        });
        snap.start(50);
        w.selection = {"readme.txt"};
        c.pmF04()->trigger();
        w.selection = {"editor.exe"};
        w.typed = {".txt", "abcdefghi", " ", "a?", "txt"};
        c.pmF04()->trigger();
        QCOMPARE(n, 6);
    }
};

QTEST_MAIN(AssociationsTest)
#include "associations_qtest.moc"
