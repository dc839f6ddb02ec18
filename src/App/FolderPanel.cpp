#include "App/FolderPanel.h"

#include "App/FolderPanelDates.h"
#include "Foundation/PathText.h"
#include "Models/AppLocalization.h"
#include "Views/Common/LeftToRightTextStyle.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QListView>
#include <QSplitter>
#include <QTreeView>

#include <algorithm>

namespace FolderPanel {
namespace {

// Room a header label needs beside its text: the padding and the sort arrow.
constexpr int headerRoom = 40;
// Room a cell needs beside its text: the padding and the focus frame.
constexpr int cellRoom = 24;

// The details' columns wide enough for their headings and, for the date, its widest text.
int fitColumns(QTreeView& details) {
    QHeaderView* header = details.header();
    const QAbstractItemModel* model = details.model();
    // A late date with wide digits: the column's widest text.
    const QString widestDate = FolderPanelDates::text(QDateTime(QDate(2028, 12, 28), QTime(23, 58, 58)));
    int total = 0;
    for (int column = 0; model && column < header->count(); ++column) {
        if (header->isSectionHidden(column)) continue;
        int wanted = header->fontMetrics().horizontalAdvance(model->headerData(column, Qt::Horizontal).toString()) + headerRoom;
        if (column == dateColumn) wanted = std::max(wanted, details.fontMetrics().horizontalAdvance(widestDate) + cellRoom);
        header->resizeSection(column, std::max(header->sectionSize(column), wanted));
        total += header->sectionSize(column);
    }
    return total;
}

// The places list wide enough for its names ("Computer" and the home folder's name).
int fitPlaces(QFileDialog& panel) {
    auto* places = panel.findChild<QListView*>(QStringLiteral("sidebar"));
    auto* splitter = panel.findChild<QSplitter*>(QStringLiteral("splitter"));
    if (!places || !places->model() || !splitter || splitter->count() != 2) return 0;
    int widest = 0;
    for (int row = 0; row < places->model()->rowCount(); ++row)
        widest = std::max(widest, places->fontMetrics().horizontalAdvance(places->model()->index(row, 0).data().toString()));
    // Beside the name: its icon, the paddings and the list's frame.
    const int width = widest + places->iconSize().width() + 40;
    splitter->setSizes({width, std::max(1, splitter->width() - width)});
    return width;
}

}  // namespace

void prepare(QFileDialog& panel, const std::filesystem::path& start) {
    // Qt's own panel: a desktop's panel would offer to make folders whatever the options say.
    panel.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly | QFileDialog::DontUseNativeDialog);
    panel.setFileMode(QFileDialog::Directory);
    panel.setLabelText(QFileDialog::Accept, AppLocalization::string("scan.choose"));
    panel.setDirectory(PathText::display(start));
    // Read-only only disables the ways to make a folder; they are not shown at all.
    if (auto* button = panel.findChild<QWidget*>(QStringLiteral("newFolderButton"))) button->setVisible(false);
    if (auto* action = panel.findChild<QAction*>(QStringLiteral("qt_new_folder_action"))) action->setVisible(false);
    // A path is one left-to-right run: in a right-to-left box "/home/user" would read "home/user/".
    if (auto* place = panel.findChild<QWidget*>(QStringLiteral("lookInCombo"))) new LeftToRightTextStyle(place);
    if (auto* name = panel.findChild<QWidget*>(QStringLiteral("fileNameEdit"))) name->setLayoutDirection(Qt::LeftToRight);

    // Text alone on the buttons: where the desktop gives dialog buttons icons, Qt places an icon
    // and right-to-left text so that the text runs off the button's edge.
    if (auto* buttons = panel.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")))
        for (QAbstractButton* button : buttons->buttons()) button->setIcon(QIcon());

    int columns = 0;
    if (auto* details = panel.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        details->setColumnHidden(typeColumn, true);  // every row is a folder
        details->setItemDelegateForColumn(dateColumn, new FolderPanelDates(details));
        columns = fitColumns(*details);
    }
    const int places = fitPlaces(panel);
    // Beside the places and columns: the view's frame and scroll bar, the splitter, the panel's margins.
    const int margins = 80;
    panel.resize(std::max({panel.sizeHint().width(), places + columns + margins, 900}), std::max(panel.sizeHint().height(), 560));
}

}  // namespace FolderPanel
