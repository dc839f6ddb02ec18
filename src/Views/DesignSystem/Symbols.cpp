#include "Views/DesignSystem/Symbols.h"

#include <QFontDatabase>
#include <QLoggingCategory>
#include <QPainter>
#include <QSet>

#include <algorithm>
#include <mutex>

namespace Symbols {
namespace {

Q_LOGGING_CATEGORY(symbolsLog, "quarnell.symbols")

const QString family = QStringLiteral("Material Icons");

// Symbol name → Material Icons ligature. Filled and outlined symbol variants share a glyph where
// the font has only one; the font's own outlined forms are used where it has them.
std::vector<std::pair<QString, QString>> makeTable() {
    std::vector<std::pair<QString, QString>> rows{
        {"app", "apps"},
        {"app.badge", "apps"},
        {"app.fill", "apps"},
        {"archivebox.fill", "archive"},
        {"arrow.clockwise", "refresh"},
        {"arrow.down", "arrow_downward"},
        {"arrow.down.circle", "arrow_circle_down"},
        {"arrow.down.right.and.arrow.up.left", "close_fullscreen"},
        {"arrow.forward", "arrow_forward"},
        {"arrow.triangle.2.circlepath", "cached"},
        {"arrow.up", "arrow_upward"},
        {"arrow.up.arrow.down", "swap_vert"},
        {"arrow.up.forward", "north_east"},
        {"arrow.up.to.line", "vertical_align_top"},
        {"arrow.uturn.backward.circle", "settings_backup_restore"},
        {"arrow.uturn.backward.circle.fill", "settings_backup_restore"},
        {"battery.75percent", "battery_5_bar"},
        {"bolt", "bolt"},
        {"bolt.fill", "bolt"},
        {"bolt.horizontal.fill", "offline_bolt"},
        {"calendar", "calendar_today"},
        {"chart.xyaxis.line", "show_chart"},
        {"checkmark", "check"},
        {"checkmark.circle", "check_circle_outline"},
        {"checkmark.seal.fill", "verified"},
        {"checkmark.shield", "gpp_good"},
        {"checkmark.shield.fill", "verified_user"},
        {"chevron.down", "expand_more"},
        {"chevron.forward", "chevron_right"},
        {"chevron.up", "expand_less"},
        {"circle.lefthalf.filled", "contrast"},
        {"clock", "schedule"},
        {"clock.arrow.circlepath", "history"},
        {"clock.badge.questionmark", "history_toggle_off"},
        {"clock.badge.questionmark.fill", "history_toggle_off"},
        {"cpu", "memory"},
        {"crown.fill", "emoji_events"},
        {"cube", "view_in_ar"},
        {"cube.fill", "view_in_ar"},
        {"cursorarrow.click.2", "ads_click"},
        {"desktopcomputer", "desktop_windows"},
        {"doc", "insert_drive_file"},
        {"doc.badge.gearshape", "file_present"},
        {"doc.fill", "insert_drive_file"},
        {"doc.on.doc", "content_copy"},
        {"doc.on.doc.fill", "file_copy"},
        {"doc.richtext.fill", "picture_as_pdf"},
        {"doc.text.fill", "description"},
        {"doc.text.magnifyingglass", "find_in_page"},
        {"exclamationmark.magnifyingglass", "search_off"},
        {"exclamationmark.triangle", "warning_amber"},
        {"exclamationmark.triangle.fill", "warning"},
        {"externaldrive.fill", "storage"},
        {"eye.slash.fill", "visibility_off"},
        {"film.fill", "movie"},
        {"flame.fill", "local_fire_department"},
        {"folder", "folder"},
        {"folder.badge.gearshape", "rule_folder"},
        {"folder.badge.minus", "folder_delete"},
        {"folder.badge.plus", "create_new_folder"},
        {"folder.badge.questionmark", "folder_off"},
        {"folder.fill", "folder"},
        {"gauge.with.dots.needle.50percent", "speed"},
        {"gauge.with.dots.needle.67percent", "speed"},
        {"gearshape", "settings"},
        {"gearshape.fill", "settings"},
        {"globe", "language"},
        {"hammer", "construction"},
        {"hand.raised.fill", "pan_tool"},
        {"heart", "favorite_border"},
        {"house.fill", "home"},
        {"info.circle.fill", "info"},
        {"internaldrive", "storage"},
        {"internaldrive.fill", "storage"},
        {"lightbulb.max.fill", "tips_and_updates"},
        {"line.3.horizontal.decrease", "filter_list"},
        {"link", "link"},
        {"lock", "lock_outline"},
        {"lock.fill", "lock"},
        {"lock.open.fill", "lock_open"},
        {"lock.shield.fill", "security"},
        {"macbook.and.iphone", "devices"},
        {"macwindow", "web_asset"},
        {"magnifyingglass", "search"},
        {"memorychip", "developer_board"},
        {"moon", "dark_mode"},
        {"moon.fill", "dark_mode"},
        {"network", "lan"},
        {"network.slash", "cloud_off"},
        {"paintbrush.fill", "brush"},
        {"person.crop.circle.badge.xmark", "person_off"},
        {"photo.fill", "image"},
        {"photo.stack", "photo_library"},
        {"play.fill", "play_arrow"},
        {"plus.circle", "add_circle_outline"},
        {"power", "power_settings_new"},
        {"powerplug", "power"},
        {"questionmark.circle.fill", "help"},
        {"scope", "my_location"},
        {"shippingbox", "inventory_2"},
        {"shippingbox.fill", "inventory_2"},
        {"slider.horizontal.3", "tune"},
        {"sparkle.magnifyingglass", "manage_search"},
        {"sparkles", "auto_awesome"},
        {"square.3.layers.3d", "layers"},
        {"square.3.layers.3d.down.right", "layers"},
        {"square.grid.2x2", "grid_view"},
        {"square.grid.2x2.fill", "grid_view"},
        {"stop.circle", "stop_circle"},
        {"stop.fill", "stop"},
        {"textformat", "text_fields"},
        {"textformat.abc", "sort_by_alpha"},
        {"trash", "delete_outline"},
        {"trash.circle", "delete_outline"},
        {"trash.fill", "delete"},
        {"tray.and.arrow.down", "move_to_inbox"},
        {"tray.and.arrow.up", "outbox"},
        {"tray.full.fill", "all_inbox"},
        {"view.3d", "3d_rotation"},
        {"waveform", "graphic_eq"},
        {"waveform.path.ecg", "monitor_heart"},
        {"wrench.and.screwdriver", "handyman"},
        {"xmark.circle", "highlight_off"},
        {"xmark.circle.fill", "cancel"},
    };
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Debian installs the font for fontconfig; the file is added by hand where fontconfig lacks it.
void ensureFontLoaded() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (QFontDatabase::hasFamily(family)) return;
        if (QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf")) < 0)
            qCWarning(symbolsLog) << "the Material Icons font is not installed; symbols are not drawn";
    });
}

}  // namespace

const std::vector<std::pair<QString, QString>>& table() {
    static const std::vector<std::pair<QString, QString>> rows = makeTable();
    return rows;
}

QString materialName(const QString& symbol) {
    const auto& rows = table();
    auto found = std::lower_bound(rows.begin(), rows.end(), symbol, [](const auto& row, const QString& name) { return row.first < name; });
    return found != rows.end() && found->first == symbol ? found->second : QString();
}

qreal glyphSize(qreal symbolSize) { return symbolSize * 1.3; }

QFont font(qreal symbolSize) {
    ensureFontLoaded();
    QFont font(family);
    font.setPixelSize(std::max(1, int(std::lround(glyphSize(symbolSize)))));
    font.setStyleStrategy(QFont::NoFontMerging);  // a missing glyph must not turn into letters of another font
    return font;
}

void paint(QPainter& painter, const QRectF& box, const QString& symbol, qreal symbolSize, const QColor& color, bool mirrored) {
    const QString name = materialName(symbol);
    if (name.isEmpty()) {
        static QSet<QString> reported;
        if (!reported.contains(symbol)) {
            reported.insert(symbol);
            qCWarning(symbolsLog) << "no glyph for symbol" << symbol;
        }
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font(symbolSize));
    painter.setPen(color);
    painter.setLayoutDirection(Qt::LeftToRight);  // a ligature name is Latin text
    QRectF target = box;
    if (mirrored) {
        painter.translate(box.center().x() * 2, 0);
        painter.scale(-1, 1);
    }
    painter.drawText(target, Qt::AlignCenter, name);
    painter.restore();
}

}  // namespace Symbols
