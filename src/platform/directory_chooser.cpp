#include "platform/directory_chooser.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/dialogs.h"
#include "platform/icons.h"

namespace platform {

namespace {

// The nearest existing folder at or above `path`, so the tree opens somewhere sensible even when
// the stored directory has gone.
QString existingFolderAt(QString path) {
    if (path.isEmpty()) return QDir::homePath();
    QDir dir(QDir::cleanPath(QDir::fromNativeSeparators(path)));
    while (!dir.exists() && !dir.isRoot()) {
        if (!dir.cdUp()) break;
    }
    return dir.exists() ? dir.absolutePath() : QDir::homePath();
}

QStringList drivesAndPlaces() {
    QStringList places;
    for (const QFileInfo& drive : QDir::drives()) places << drive.absoluteFilePath();
    places << QDir::homePath();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !volume.isReadOnly()) {
            places << volume.rootPath();
        }
    }
    places.removeDuplicates();
    return places;
}

}  // namespace

DirectoryChooser::DirectoryChooser(const QString& start, QWidget* parent)
    : QDialog(parent), base_(existingFolderAt(start)) {
    setObjectName(QStringLiteral("SelectDirectory"));
    setWindowTitle(QStringLiteral("Select Directory"));
    setWindowIcon(icon(Icon::NetworkPath));
    setModal(true);
    resize(440, 400);

    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("DirectoryEdit"));
    edit_->setText(start.isEmpty() ? QDir::toNativeSeparators(base_) : start);
    auto* editLabel = new QLabel(QStringLiteral("Directory &name:"), this);
    editLabel->setBuddy(edit_);

    drives_ = new QComboBox(this);
    drives_->setObjectName(QStringLiteral("DriveList"));
    for (const QString& place : drivesAndPlaces()) {
        drives_->addItem(icon(Icon::Open), QDir::toNativeSeparators(place), place);
    }
    drives_->setCurrentIndex(-1);
    drives_->setPlaceholderText(QStringLiteral("(a drive or place)"));
    auto* drivesLabel = new QLabel(QStringLiteral("Dri&ves:"), this);
    drivesLabel->setBuddy(drives_);

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setRootPath(QString());
    folders_ = new QTreeView(this);
    folders_->setObjectName(QStringLiteral("FolderList"));
    folders_->setModel(model_);
    folders_->setHeaderHidden(true);
    for (int column = 1; column < model_->columnCount(); ++column) folders_->hideColumn(column);
    auto* foldersLabel = new QLabel(QStringLiteral("&Folders:"), this);
    foldersLabel->setBuddy(folders_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(editLabel);
    layout->addWidget(edit_);
    layout->addWidget(drivesLabel);
    layout->addWidget(drives_);
    layout->addWidget(foldersLabel);
    layout->addWidget(folders_, 1);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &DirectoryChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DirectoryChooser::reject);
    connect(folders_, &QTreeView::clicked, this, &DirectoryChooser::folderPicked);
    connect(folders_, &QTreeView::activated, this, &DirectoryChooser::folderPicked);
    // The model reads and sorts folders in the background, which moves rows after we scrolled:
    // scroll again once it has been quiet for a moment.
    scrollAgain_ = new QTimer(this);
    scrollAgain_->setSingleShot(true);
    scrollAgain_->setInterval(100);
    connect(scrollAgain_, &QTimer::timeout, this, [this] {
        folders_->scrollTo(model_->index(shownFolder_), QAbstractItemView::PositionAtTop);
    });
    connect(model_, &QFileSystemModel::directoryLoaded, scrollAgain_, qOverload<>(&QTimer::start));
    connect(drives_, &QComboBox::activated, this,
            [this](int index) { showFolder(drives_->itemData(index).toString()); });

    showFolder(base_);
    edit_->setFocus();
    edit_->selectAll();
}

void DirectoryChooser::showFolder(const QString& path) {
    shownFolder_ = path;
    const QModelIndex index = model_->index(path);
    if (!index.isValid()) return;
    folders_->setCurrentIndex(index);
    folders_->scrollTo(index, QAbstractItemView::PositionAtTop);
    folders_->expand(index);
}

void DirectoryChooser::folderPicked(const QModelIndex& index) {
    edit_->setText(QDir::toNativeSeparators(model_->filePath(index)));
}

void DirectoryChooser::accept() {
    const QString typed = edit_->text().trimmed();
    if (typed.isEmpty()) return;
    const QString path =
        QDir::cleanPath(QDir(base_).absoluteFilePath(QDir::fromNativeSeparators(typed)));
    const QFileInfo info(path);
    if (!info.isDir()) {
        if (!dialogs().confirmYesNo(
                QStringLiteral("The specified directory does not exist. Create it?"))) {
            return;
        }
        if (info.exists() || !QDir().mkpath(path)) {
            dialogs().showMessage(QStringLiteral("Unable to create directory"));
            return;
        }
    }
    selected_ = QDir::toNativeSeparators(path);
    QDialog::accept();
}

}  // namespace platform
