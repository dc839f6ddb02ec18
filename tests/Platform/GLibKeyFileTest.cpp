#include "Platform/AutostartSwitch.h"
#include "Platform/GLibKeyFile.h"
#include "Support/GLibKeyFiles.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

// Our reading of a text next to GLib's own: refused by both or by neither, and then the same
// "[Desktop Entry]", the same two keys with the same values and the same booleans.
std::optional<GLibKeyFiles::Reading> ours(std::string_view text) {
    const auto keys = GLibKeyFile::parse(text);
    if (!keys) return std::nullopt;
    auto key = [&](const char* name) -> std::optional<GLibKeyFiles::Key> {
        const auto value = keys->value("Desktop Entry", name);
        if (!value) return std::nullopt;
        return GLibKeyFiles::Key{*value, GLibKeyFile::boolean(*value)};
    };
    return GLibKeyFiles::Reading{keys->hasGroup("Desktop Entry"), key("Hidden"), key("X-GNOME-Autostart-enabled")};
}

const std::vector<std::string> texts{
    // Lines GLib takes and refuses.
    "[Desktop Entry]\nHidden=true\n",
    "",
    "\n",
    "# only a comment\n",
    "[Desktop Entry]\n; comment\nHidden=true\n",
    "[Desktop Entry]\n  # indented comment\nHidden=true\n",
    "[Desktop Entry]\nHidden\n",
    "[Desktop Entry]\n=x\n",
    "[Desktop Entry]\n  =x\n",
    "Hidden=true\n[Desktop Entry]\n",
    "# first\n\n[Desktop Entry]\nHidden=true\n",
    "\xEF\xBB\xBF[Desktop Entry]\nHidden=true\n",
    "\xEF\xBB\xBF# c\n[Desktop Entry]\nHidden=true\n",
    // Blanks: which characters, and where.
    "  [Desktop Entry]\n\t Hidden=true\n",
    "\v[Desktop Entry]\nHidden=true\n",
    "\f[Desktop Entry]\n\fHidden=true\n",
    "\r[Desktop Entry]\n\rHidden=true\n",
    "[Desktop Entry]\n\vHidden=true\n",
    "[Desktop Entry]\n\v\nHidden=true\n",
    "[Desktop Entry]\n\v#x\nHidden=true\n",
    "[Desktop Entry]\nHidden \t\f\r=true\n",
    "[Desktop Entry]\nHidden\v=true\n",
    "[Desktop Entry]\nHidden=\t\f\r true\n",
    "[Desktop Entry]\nHidden=\vtrue\n",
    "[Desktop Entry]\nHidden=true \t\f\n",
    "[Desktop Entry]\nHidden=true\v\n",
    "[Desktop Entry]\nHidden=true\t\v\f\n",
    // Line endings and NUL bytes.
    "[Desktop Entry]\r\nHidden=true\r\nX-GNOME-Autostart-enabled=false\r\n",
    "[Desktop Entry]\r\r\nHidden=true\r\r\n",
    "[Desktop Entry]\nHidden=true\r",
    "[Desktop Entry]\r",
    "[Desktop Entry]\nHidden=true\rX\n",
    "[Desktop Entry]\nHidden=true",
    "[Desktop Entry]\n\0garbage\nHidden=true\n"s,
    "[Desktop Entry]\nHidden=true\0xx\n"s,
    "[Desktop Entry]\nHid\0den=true\n"s,
    "[Desktop Entry]\nHidden=0\0\r\n"s,
    // Groups.
    "[Desktop Entry] \t\nHidden=true\n",
    "[Desktop Entry]\f\nHidden=true\n",
    "[Desktop Entry]x\nHidden=true\n",
    "[Desktop Entry]\x80\nHidden=true\n",
    "[Desktop Entry] \x80\x80\nHidden=true\n",
    "[]\nHidden=true\n",
    "[a[b]\nHidden=true\n",
    "]x[\n",
    "[Desk\ttop]\nA=b\n",
    "[Desk\x7ftop]\nA=b\n",
    "[Desktop Entry\nHidden=true\n",
    "[ Desktop Entry ]\nHidden=true\n",
    "[Desktop \xff]\nHidden=true\n[Desktop Entry]\nHidden=true\n",
    "[Other]\nA=b\n",
    "[Desktop Entry]\nHidden=true\n[Other]\nA=b\n[Desktop Entry]\nHidden=false\nX-GNOME-Autostart-enabled=false\n",
    // Keys.
    "[Desktop Entry]\nHidden=true\nHidden=false\n",
    "[Desktop Entry]\nHid den=true\n",
    "[Desktop Entry]\nHid]den=true\n",
    "[Desktop Entry]\nHid\x01" "den=true\n",
    "[Desktop Entry]\nN\xffme=x\nHidden=true\n",
    "[Desktop Entry]\nName[ar]=x\nHidden[de]=true\n",
    "[Desktop Entry]\nName[sr@latin]=x\nName[en_US.UTF-8]=y\n",
    "[Desktop Entry]\nName[\xC3\xA4]=x\nName[\xD9\xA3]=y\n",
    "[Desktop Entry]\nName[]=x\n",
    "[Desktop Entry]\nName[en] =x\n",
    "[Desktop Entry]\nName [en]=x\n",
    "[Desktop Entry]\nName[a b]=x\n",
    "[Desktop Entry]\nName[e+n]=x\n",
    "[Desktop Entry]\nName[en]x=y\n",
    "[Desktop Entry]\nName[\xff]=x\n",
    "[Desktop Entry]\nName[\xC3]=x\n",
    "[Desktop Entry]\nName[\xED\xA0\x80]=x\n",
    "[Desktop Entry]\n#Hidden=true\n",
    "[Desktop Entry]\nExec=a=b\nHidden==true\n",
    // Encoding, only in the first group.
    "[Desktop Entry]\nEncoding=Latin1\n",
    "[Desktop Entry]\nEncoding=utf-8\n",
    "[Desktop Entry]\nEncoding=UTF-8 \n",
    "[A]\nB=c\n[Desktop Entry]\nEncoding=Latin1\n",
    "[Desktop Entry]\nA=b\n[X]\nEncoding=latin\n[Desktop Entry]\nEncoding=latin\n",
    // Booleans.
    "[Desktop Entry]\nHidden=True\nX-GNOME-Autostart-enabled=False\n",
    "[Desktop Entry]\nHidden=yes\nX-GNOME-Autostart-enabled=no\n",
    "[Desktop Entry]\nHidden=\nX-GNOME-Autostart-enabled=\n",
    "[Desktop Entry]\nHidden=1\nX-GNOME-Autostart-enabled=0\n",
    "[Desktop Entry]\nHidden=1 \nX-GNOME-Autostart-enabled= 0 \t\n",
    "[Desktop Entry]\nHidden=tr ue\nX-GNOME-Autostart-enabled=fals\n",
    "[Desktop Entry]\nHidden=truex\nX-GNOME-Autostart-enabled=01\n",
    "[Desktop Entry]\nHidden=true # c\n",
};

}  // namespace

TEST(GLibKeyFile, ReadsEveryTextAsGLibDoes) {
    const GLibKeyFiles glib;
    ASSERT_TRUE(glib.available());
    TempTree tree;
    int index = 0;
    for (const std::string& text : texts) {
        const auto file = tree.write("case" + std::to_string(index++) + ".desktop", text);
        EXPECT_EQ(ours(text), glib.load(file)) << "text: " << ::testing::PrintToString(text);
    }
}

// A switched text reads in GLib as the switch says, and only the values it had to change differ.
TEST(GLibKeyFile, SwitchedTextsReadInGLibAsSwitched) {
    const GLibKeyFiles glib;
    ASSERT_TRUE(glib.available());
    TempTree tree;
    int index = 0;
    for (const std::string& text : texts) {
        for (const bool on : {true, false}) {
            const auto switched = AutostartSwitch::switched(text, on);
            const auto read = ours(text);
            EXPECT_EQ(switched.has_value(), read && read->hasEntryGroup) << ::testing::PrintToString(text);
            if (!switched) continue;
            const auto file = tree.write("switched" + std::to_string(index++) + ".desktop", *switched);
            EXPECT_EQ(glib.startsAtLogin(tree.path(), {}, file.filename().string()), on) << ::testing::PrintToString(*switched);
        }
    }
    EXPECT_EQ(AutostartSwitch::switched("# c\r\n[Desktop Entry]\r\nHidden = True\r\nX-GNOME-Autostart-enabled=\tno \r\nHidden[de]=true\r\n", true),
              "# c\r\n[Desktop Entry]\r\nHidden = True\r\nX-GNOME-Autostart-enabled=\ttrue\r\nHidden[de]=true\r\n");
    EXPECT_EQ(AutostartSwitch::switched("[Desktop Entry]", false), "[Desktop Entry]\nHidden=true\n");
    EXPECT_EQ(AutostartSwitch::switched("[Desktop Entry]\nHidden=1 \n[Desktop Entry]\nHidden=no\n", true),
              "[Desktop Entry]\nHidden=false\n[Desktop Entry]\nHidden=no\n");
}
