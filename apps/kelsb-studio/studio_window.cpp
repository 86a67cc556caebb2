#include "studio_window.h"

#include "qt/qt_backend.h"

#include "host/base/kel_object.h"
#include "host/scene/play_piece.h"
#include "host/scene/play_scene.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

namespace kel::studio {

StudioWindow::StudioWindow()
    : m_host([this] {
          UpdateTitle();
          FillItems();
      }) {
    m_items = new ItemsPanel([this] { return m_host.Scene(); }, this);
    setCentralWidget(m_items);
    BuildMenus();
    statusBar()->showMessage("Items of the scene");
    resize(360, 380);
    move(40, 40);
}

StudioWindow::~StudioWindow() {
    if (kel::qt::QtBackend* backend = kel::qt::Installed()) {
        backend->AssociateWindow(this, nullptr);
    }
    m_host.Shutdown();
}

void StudioWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    QAction* open = file->addAction("&Open...", this, [this] { OpenFile(); });
    open->setShortcut(QKeySequence::Open);
    QAction* save = file->addAction("&Save", this, [this] { Save(); });
    save->setShortcut(QKeySequence::Save);
    file->addAction("Save &As...", this, [this] { SaveAs(); });
    file->addSeparator();
    QAction* quit = file->addAction("&Quit", this, [this] { close(); });
    quit->setShortcut(QKeySequence::Quit);

    QMenu* storyboard = menuBar()->addMenu("&Storyboard");
    storyboard->addAction("Put Selected Items (&In)", this, [this] { PutSelectedItems(false); });
    storyboard->addAction("Put Selected Items (In, &Stay, Out)", this,
                          [this] { PutSelectedItems(true); });

    QMenu* view = menuBar()->addMenu("&View");
    view->addAction("Storyboard &Editor", this, [this] { ShowEditor(); });
    view->addAction("&History Panel", this, [this] {
        if (CWnd* panel = m_host.History(); IsWindow(panel)) {
            panel->ShowWindow(SW_SHOW);
        }
    });
    view->addAction("Storyboard &Navigator", this, [this] {
        if (CWnd* panel = m_host.Navigator(); IsWindow(panel)) {
            panel->ShowWindow(SW_SHOW);
        }
    });
}

bool StudioWindow::Start(const std::string& scenePath) {
    std::string error;
    if (!scenePath.empty() && !m_host.OpenScene(scenePath, &error)) {
        QMessageBox::warning(this, "KelSB Studio", QString::fromStdString(error));
    }
    if (!m_host.Start(&error)) {
        QMessageBox::critical(this, "KelSB Studio",
                              "The storyboard editor cannot start: " +
                                  QString::fromStdString(error));
        return false;
    }
    // A scene that remembers where its editor was opens it there; otherwise beside us.
    if (m_host.Scene() && m_host.Scene()->GetSBEditWndRect().IsRectEmpty()) {
        m_host.PlaceDialog(CRect(CPoint(420, 60), CSize(1000, 300)));
    }
    if (kel::qt::QtBackend* backend = kel::qt::Installed()) {
        backend->AssociateWindow(this, m_host.MainWindow());
    }
    UpdateTitle();
    FillItems();
    return true;
}

void StudioWindow::ShowEditor() {
    if (CWnd* dialog = m_host.Dialog()) {
        dialog->ShowWindow(SW_SHOW);
    }
}

void StudioWindow::UpdateTitle() {
    QString name = "Sample";
    if (!m_host.Path().empty()) {
        name = QFileInfo(QString::fromStdString(m_host.Path())).fileName();
    }
    setWindowTitle(QString("KelSB Studio - %1[*]").arg(name));
    setWindowModified(m_host.IsDirty());
}

void StudioWindow::FillItems() {
    if (m_items) {
        m_items->Fill();
    }
}

void StudioWindow::PutSelectedItems(bool bAllPhases) {
    if (CWnd* dialog = m_host.Dialog(); IsWindow(dialog)) {
        dialog->SendMessage(RegisterWindowMessage("WM_CG_ADD_ITEM_TO_SB"), bAllPhases ? 1 : 0, 0);
    }
}

void StudioWindow::OpenFile() {
    if (!MayDiscard()) {
        return;
    }
    const QString path = QFileDialog::getOpenFileName(this, "Open Scene");
    if (path.isEmpty()) {
        return;
    }
    std::string error;
    if (!m_host.OpenScene(path.toStdString(), &error)) {
        QMessageBox::warning(this, "KelSB Studio", QString::fromStdString(error));
    }
}

bool StudioWindow::Save() {
    if (m_host.Path().empty()) {
        return SaveAs();
    }
    std::string error;
    if (!m_host.SaveScene(m_host.Path(), &error)) {
        QMessageBox::warning(this, "KelSB Studio", QString::fromStdString(error));
        return false;
    }
    statusBar()->showMessage("Saved", 3000);
    return true;
}

bool StudioWindow::SaveAs() {
    const QString path = QFileDialog::getSaveFileName(this, "Save Scene");
    if (path.isEmpty()) {
        return false;
    }
    std::string error;
    if (!m_host.SaveScene(path.toStdString(), &error)) {
        QMessageBox::warning(this, "KelSB Studio", QString::fromStdString(error));
        return false;
    }
    return true;
}

bool StudioWindow::MayDiscard() {
    if (!m_host.IsDirty()) {
        return true;
    }
    const auto answer = QMessageBox::question(
        this, "KelSB Studio", "The scene has changed. Save the changes?",
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) {
        return Save();
    }
    return answer == QMessageBox::Discard;
}

void StudioWindow::closeEvent(QCloseEvent* event) {
    if (!MayDiscard()) {
        event->ignore();
        return;
    }
    event->accept();
    // The editor's and the panels' windows go with the studio.
    m_host.Shutdown();
    QApplication::quit();
}

} // namespace kel::studio
