#include "Platform/TrayPanelColors.h"

#include <QByteArray>
#include <QStringList>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply>
using ReplyPointer = std::unique_ptr<Reply, FreeReply>;

// The reply of one request; a failed request yields none, and its error does not reach the event queue.
template <typename Reply, typename Cookie>
ReplyPointer<Reply> replyOf(Reply* (*reply)(xcb_connection_t*, Cookie, xcb_generic_error_t**), xcb_connection_t* connection, Cookie cookie) {
    xcb_generic_error_t* error = nullptr;
    ReplyPointer<Reply> answer(reply(connection, cookie, &error));
    std::free(error);
    return answer;
}

xcb_intern_atom_cookie_t internAtom(xcb_connection_t* connection, const QByteArray& name) {
    return xcb_intern_atom(connection, 0, std::uint16_t(name.size()), name.constData());
}

int channel(std::uint32_t value16) { return int((value16 * 255 + 32767) / 65535); }

}  // namespace

TrayPanelColors::TrayPanelColors(xcb_connection_t* connection) : connection_(connection) {
    // The tray of the screen the application was started on: the one named in DISPLAY.
    char* host = nullptr;
    int display = 0;
    if (connection_ && !xcb_parse_display(nullptr, &host, &display, &screen_)) screen_ = 0;
    std::free(host);
}

std::optional<TrayPanelColors::Ink> TrayPanelColors::normalColor(std::span<const std::uint32_t> values) {
    if (values.size() < 3) return std::nullopt;
    for (std::size_t i = 0; i < 3; ++i)
        if (values[i] > 0xFFFF) return std::nullopt;
    return Ink{channel(values[0]), channel(values[1]), channel(values[2])};
}

TrayPanelColors::Ink TrayPanelColors::choose(std::optional<Ink> trayNormal, DesktopColorScheme::Preference desktop, const QString& currentDesktop,
                                             bool appIsDark) {
    if (trayNormal) return *trayNormal;
    // GNOME Shell's top bar is dark in the light scheme too.
    if (currentDesktop.split(QLatin1Char(':')).contains(QStringLiteral("GNOME"), Qt::CaseInsensitive)) return lightInk;
    switch (desktop) {
    case DesktopColorScheme::Preference::dark: return lightInk;
    case DesktopColorScheme::Preference::light: return darkInk;
    case DesktopColorScheme::Preference::none: break;
    }
    return appIsDark ? lightInk : darkInk;
}

TrayPanelColors::Inks TrayPanelColors::withOutline(std::optional<Ink> trayNormal, Ink ink) {
    if (trayNormal) return {ink, std::nullopt};
    return {ink, ink == lightInk ? darkInk : lightInk};
}

TrayPanelColors::Inks TrayPanelColors::inks(bool appIsDark) {
    const std::optional<Ink> tray = readTrayNormalColor();
    return withOutline(tray, choose(tray, DesktopColorScheme::shared().preference(), qEnvironmentVariable("XDG_CURRENT_DESKTOP"), appIsDark));
}

std::optional<TrayPanelColors::Ink> TrayPanelColors::readTrayNormalColor() {
    if (!connection_ || xcb_connection_has_error(connection_)) return std::nullopt;
    if (!selectionAtom_) {
        const auto selection = internAtom(connection_, "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen_));
        const auto colors = internAtom(connection_, "_NET_SYSTEM_TRAY_COLORS");
        const auto selectionReply = replyOf(xcb_intern_atom_reply, connection_, selection);
        const auto colorsReply = replyOf(xcb_intern_atom_reply, connection_, colors);
        if (!selectionReply || !colorsReply) return std::nullopt;
        selectionAtom_ = selectionReply->atom;
        colorsAtom_ = colorsReply->atom;
    }
    const auto owner = replyOf(xcb_get_selection_owner_reply, connection_, xcb_get_selection_owner(connection_, selectionAtom_));
    if (!owner || owner->owner == XCB_NONE) return std::nullopt;
    // Four colours of three channels: twelve values at most are read.
    const auto property = replyOf(xcb_get_property_reply, connection_, xcb_get_property(connection_, 0, owner->owner, colorsAtom_, XCB_ATOM_CARDINAL, 0, 12));
    if (!property || property->type != XCB_ATOM_CARDINAL || property->format != 32) return std::nullopt;
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(property.get()));
    return normalColor(std::span(values, std::size_t(xcb_get_property_value_length(property.get())) / 4));
}
