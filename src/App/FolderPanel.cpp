#include "App/FolderPanel.h"

#include "Foundation/PathText.h"
#include "Models/AppLocalization.h"

#include <QAction>
#include <QFileDialog>

namespace FolderPanel {

void prepare(QFileDialog& panel, const std::filesystem::path& start) {
    // Qt's own panel: a desktop's panel would offer to make folders whatever the options say.
    panel.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly | QFileDialog::DontUseNativeDialog);
    panel.setFileMode(QFileDialog::Directory);
    panel.setLabelText(QFileDialog::Accept, AppLocalization::string("scan.choose"));
    panel.setDirectory(PathText::display(start));
    // Read-only only disables the ways to make a folder; they are not shown at all.
    if (auto* button = panel.findChild<QWidget*>(QStringLiteral("newFolderButton"))) button->setVisible(false);
    if (auto* action = panel.findChild<QAction*>(QStringLiteral("qt_new_folder_action"))) action->setVisible(false);
}

}  // namespace FolderPanel
