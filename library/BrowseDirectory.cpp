#include "library/BrowseDirectory.h"

#include "platform/NestedLoop.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace VexLib22::BrowseDirectory {

namespace {

class FolderBrowser : public QDialog {
public:
    FolderBrowser(QWidget* owner, const QString& prompt, const QString& startPath)
        : QDialog(owner), m_start(startPath)
    {
        setObjectName(kDialogName);
        setWindowTitle(tr("Browse for Folder"));

        auto* text = new QLabel(prompt.left(kPromptMax), this);
        text->setObjectName(kPromptName);
        text->setWordWrap(true);

        m_model = new QFileSystemModel(this);
        // Only folders of the file system: no files, no "." and "..".
        m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
        m_model->setReadOnly(true);
        m_model->setRootPath(QStringLiteral("/"));

        m_tree = new QTreeView(this);
        m_tree->setObjectName(kTreeName);
        m_tree->setModel(m_model);
        for (int c = 1; c < m_model->columnCount(); ++c)
            m_tree->hideColumn(c);
        m_tree->header()->hide();

        m_status = new QLabel(this);
        m_status->setObjectName(kStatusName);

        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        m_ok = buttons->button(QDialogButtonBox::Ok);

        auto* layout = new QVBoxLayout(this);
        layout->addWidget(text);
        layout->addWidget(m_tree, 1);
        layout->addWidget(m_status);
        layout->addWidget(buttons);
        resize(360, 420);

        connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this](const QModelIndex& current) { selectionChanged(current); });
        initialised();
    }

    QString chosen() const
    {
        const QModelIndex i = m_tree->currentIndex();
        return i.isValid() ? m_model->filePath(i) : QString();
    }

private:
    // Once set up, the browser selects the start folder (given as a path).
    void initialised()
    {
        m_ok->setEnabled(false);
        const QFileInfo info(m_start);
        if (m_start.isEmpty() || !info.isDir())
            return;
        const QModelIndex i = m_model->index(info.absoluteFilePath());
        if (!i.isValid())
            return;
        m_tree->setCurrentIndex(i);
        m_tree->scrollTo(i);
        m_tree->expand(i);
    }

    // Each newly selected folder shows its path as the status text.
    void selectionChanged(const QModelIndex& current)
    {
        const QString path = current.isValid() ? m_model->filePath(current) : QString();
        m_status->setText(path);
        m_ok->setEnabled(!path.isEmpty());
    }

    QString m_start;
    QFileSystemModel* m_model = nullptr;
    QTreeView* m_tree = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace

QString BrowseForFolder(QWidget* owner, const QString& prompt, const QString& startPath, bool noNetwork)
{
    Q_UNUSED(noNetwork);
    FolderBrowser dialog(owner, prompt, startPath);
    int answer = QDialog::Rejected;
    {
        // The owner's code waits here; unloaded meanwhile, the owner closes
        // the browser as cancelled.
        const plat::NestedLoop waiting;
        answer = dialog.exec();
    }
    if (answer != QDialog::Accepted)
        return QString();
    return dialog.chosen();
}

} // namespace VexLib22::BrowseDirectory
