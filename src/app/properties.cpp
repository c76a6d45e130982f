#include "app/properties.h"

#include "platform/codepage.h"
#include "platform/dostime.h"
#include "platform/findfile.h"
#include "platform/numfmt.h"
#include "platform/paths.h"
#include "platform/treesize.h"
#include "shellviews/ShView.h"
#include "shellviews/mimetypes.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>

namespace g3 {

namespace {

QString shown(const std::string& bytes) { return QString::fromStdString(displayTextOf(bytes)); }

bool isRealFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int typeIndexOf(const std::string& path) {
    return isRealFolder(path) ? typeIndexForFolder() : typeIndexForFileName(namePart(path));
}

// The items' one type, or the text for several.
QString typeOf(const std::vector<std::string>& paths) {
    const int first = typeIndexOf(paths.front());
    for (const std::string& p : paths)
        if (typeIndexOf(p) != first) return QStringLiteral("いろいろな種類");
    QString name = typeInfo(first).typeName;
    struct stat st {};
    if (paths.size() == 1 && lstat(paths.front().c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        std::array<char, 4096> target{};
        const ssize_t n = readlink(paths.front().c_str(), target.data(), target.size() - 1);
        name = QStringLiteral("近道 → ") + shown(std::string(target.data(), n > 0 ? static_cast<std::size_t>(n) : 0));
    }
    return name;
}

// The folder the items stand in; the desktop's items each have their own.
QString locationOf(const std::vector<std::string>& paths) {
    const std::string parent = parentFolder(paths.front());
    for (const std::string& p : paths)
        if (parentFolder(p) != parent) return QString();
    return shown(parent);
}

QString userName(uid_t uid) {
    std::array<char, 4096> buf{};
    struct passwd pw {}, *found = nullptr;
    const QString id = QString::number(uid);
    if (getpwuid_r(uid, &pw, buf.data(), buf.size(), &found) != 0 || !found) return id;
    return QString::fromLocal8Bit(found->pw_name) + QStringLiteral(" (") + id + QLatin1Char(')');
}

QString groupName(gid_t gid) {
    std::array<char, 4096> buf{};
    struct group gr {}, *found = nullptr;
    const QString id = QString::number(gid);
    if (getgrgid_r(gid, &gr, buf.data(), buf.size(), &found) != 0 || !found) return id;
    return QString::fromLocal8Bit(found->gr_name) + QStringLiteral(" (") + id + QLatin1Char(')');
}

QString timeText(FileTime t) {
    return t == 0 ? QStringLiteral("不明") : QString::fromStdString(formatFileTimeLong(t));
}

QLabel* addRow(QFormLayout* form, const char* name, const char* caption) {
    auto* value = new QLabel;
    value->setObjectName(QString::fromLatin1(name));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setWordWrap(true);
    form->addRow(QString::fromUtf8(caption), value);
    return value;
}

} // namespace

QString sizeText(std::uint64_t bytes) {
    const QString exact = QString::fromStdString(formatGrouped(static_cast<std::int64_t>(bytes))) +
                          QStringLiteral(" バイト");
    if (bytes < 1024) return exact;
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    double v = static_cast<double>(bytes) / 1024.0;
    int unit = 0;
    while (v >= 1024.0 && unit < 5) {
        v /= 1024.0;
        ++unit;
    }
    const int decimals = v < 10 ? 2 : v < 100 ? 1 : 0;
    return QString::number(v, 'f', decimals) + QLatin1Char(' ') + QLatin1String(units[unit]) +
           QStringLiteral(" (") + exact + QLatin1Char(')');
}

QString permissionText(unsigned mode) {
    QString s = QStringLiteral("---------");
    static const char letters[] = "rwxrwxrwx";
    for (int i = 0; i < 9; ++i)
        if (mode & (0400u >> i)) s[i] = QLatin1Char(letters[i]);
    auto special = [&](int at, unsigned bit, unsigned exec, char set, char unset) {
        if (mode & bit) s[at] = QLatin1Char(mode & exec ? set : unset);
    };
    special(2, S_ISUID, S_IXUSR, 's', 'S');
    special(5, S_ISGID, S_IXGRP, 's', 'S');
    special(8, S_ISVTX, S_IXOTH, 't', 'T');
    return s + QStringLiteral(" (") + QString::number(mode & 07777, 8) + QLatin1Char(')');
}

TPropertiesWindow::TPropertiesWindow(std::vector<std::string> paths, QWidget* parent)
    : QDialog(parent), paths_(std::move(paths)), timer_(new QTimer(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("PropertiesWindow"));
    const bool one = paths_.size() == 1;
    const QString name = one ? shown(namePart(paths_.front())) : QString::number(paths_.size()) + QStringLiteral(" 個の家や洞窟");
    setWindowTitle(name + QStringLiteral(" のプロパティ"));

    auto* icon = new QLabel;
    icon->setPixmap(typeIcon(typeIndexOf(paths_.front()), true).pixmap(32, 32));
    lblName = new QLabel;
    lblName->setObjectName(QStringLiteral("lblName"));
    lblName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = lblName->font();
    bold.setBold(true);
    lblName->setFont(bold);
    auto* head = new QHBoxLayout;
    head->addWidget(icon);
    head->addWidget(lblName, 1);
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* form = new QFormLayout;
    lblType = addRow(form, "lblType", "種類:");
    lblLocation = addRow(form, "lblLocation", "場所:");
    lblSize = addRow(form, "lblSize", "サイズ:");
    lblContents = addRow(form, "lblContents", "内容:");
    lblCreated = addRow(form, "lblCreated", "作成日時:");
    lblModified = addRow(form, "lblModified", "改築日時:");
    lblAccessed = addRow(form, "lblAccessed", "アクセス日時:");
    lblOwner = addRow(form, "lblOwner", "所有者:");
    lblPermissions = addRow(form, "lblPermissions", "アクセス権:");
    lblName->setText(name);
    lblType->setText(typeOf(paths_));
    lblLocation->setText(locationOf(paths_));
    form->setRowVisible(lblLocation, !lblLocation->text().isEmpty());
    form->setRowVisible(lblContents, !one || isRealFolder(paths_.front()));

    FindData d;
    struct stat st {};
    const bool single = one && findDataOfPath(paths_.front(), d) && lstat(paths_.front().c_str(), &st) == 0;
    for (QLabel* l : {lblCreated, lblModified, lblAccessed, lblOwner, lblPermissions}) form->setRowVisible(l, single);
    if (single) {
        lblCreated->setText(timeText(d.creationTime));
        lblModified->setText(timeText(d.lastWriteTime));
        lblAccessed->setText(timeText(d.lastAccessTime));
        lblOwner->setText(userName(st.st_uid) + QStringLiteral(" / ") + groupName(st.st_gid));
        lblPermissions->setText(permissionText(st.st_mode));
    }

    auto* buttons = new QDialogButtonBox;
    QPushButton* close = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::AcceptRole);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* top = new QVBoxLayout(this);
    top->addLayout(head);
    top->addWidget(line);
    top->addLayout(form);
    top->addStretch(1);
    top->addWidget(buttons);
    setMinimumWidth(380);

    count_ = std::make_unique<TreeSizeCount>(paths_);
    count_->start();
    connect(timer_, &QTimer::timeout, this, [this] { showCount(); });
    timer_->start(100);
    showCount();
}

// The worker is cancelled and joined before the window goes.
TPropertiesWindow::~TPropertiesWindow() = default;

bool TPropertiesWindow::counted() const { return count_->finished(); }

void TPropertiesWindow::showCount() {
    const bool done = count_->finished();
    if (done) timer_->stop();
    const QString counting = done ? QString() : QStringLiteral(" 計算中…");
    lblSize->setText(sizeText(count_->bytes()) + counting);
    QString contents = QStringLiteral("家 ") + QString::fromStdString(formatGrouped(static_cast<std::int64_t>(count_->files()))) +
                       QStringLiteral(" 軒、洞窟 ") +
                       QString::fromStdString(formatGrouped(static_cast<std::int64_t>(count_->folders()))) +
                       QStringLiteral(" 個");
    if (count_->unreadable() > 0)
        contents += QStringLiteral("（読めない洞窟 ") + QString::number(count_->unreadable()) + QStringLiteral(" 個）");
    lblContents->setText(contents + counting);
}

} // namespace g3
