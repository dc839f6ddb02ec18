#include "Services/InstalledHome.h"

#include "Support/FakeTool.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

// What the user's crontab or a shell's startup file runs stays installed, as what a service runs does;
// what they only mention in a comment, a job's input or nowhere goes as before.
namespace {

// The user's crontab as `crontab -l` lists it.
void crontab(InstalledHome& home, const std::string& lines) { writeFakeTool(home.tree.path() / "usr/bin/crontab", "cat <<'EOF'\n" + lines + "EOF"); }

// Neovim's AppImage, which an alias in ~/.bashrc runs: its settings stay with it.
void aliasInBashrc(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("nvim", "Neovim", "nvim.appimage");
    const fs::path config = home.tree.file("home/.config/nvim/init.lua", 1000).parent_path();
    home.tree.write("home/.bashrc", "# ~/.bashrc\ncase $- in *i*) ;; *) return;; esac\nalias ll='ls -alF'\nalias nv='~/Applications/nvim.appimage'\n");
    home.expect("AppImageABashAliasRunsStays", "nvim", {{entry, false}, {config, false}}, home.entryBytes(), {}, ".bashrc", RunnerKind::shellStartup);
}

// An alias of a command line of its own, its path through "$HOME", in the file Debian's ~/.bashrc reads.
void aliasWithArguments(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("logseq", "Logseq", "Logseq-linux-x64-0.10.9.AppImage");
    home.tree.write("home/.bash_aliases", "alias logseq=\"exec $HOME/Applications/Logseq-linux-x64-0.10.9.AppImage --no-sandbox\"\n");
    home.expect("AppImageAnAliasWithArgumentsRunsStays", "logseq", {{entry, false}}, home.entryBytes(), {}, ".bash_aliases", RunnerKind::shellStartup);
}

// Functions, both ways zsh writes them, and fish's function file.
void zshFunction(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("joplin", "Joplin", "Joplin-2.14.AppImage");
    home.tree.write("home/.zshrc", "export PATH=\"$HOME/.local/bin:$PATH\"\nnotes() { ~/Applications/Joplin-2.14.AppImage \"$@\" & disown; }\n"
                                   "function other {\n  echo hi\n}\n");
    home.expect("AppImageAZshFunctionRunsStays", "joplin", {{entry, false}}, home.entryBytes(), {}, ".zshrc", RunnerKind::shellStartup);
}

void fishFunction(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("kdenlive", "Kdenlive", "kdenlive-24.02-x86_64.AppImage");
    home.tree.write("home/.config/fish/functions/kd.fish", "function kd\n    ~/Applications/kdenlive-24.02-x86_64.AppImage $argv\nend\n");
    home.expect("AppImageAFishFunctionRunsStays", "kdenlive", {{entry, false}}, home.entryBytes(), {}, "kd.fish", RunnerKind::shellStartup);
}

// A function zsh autoloads from its own file, named by nothing but the function.
void zshAutoloaded(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("vpn", "VPN", "VPN-3.AppImage");
    home.tree.write("home/.zshrc", "fpath=(~/.zfunc $fpath)\nautoload -Uz vpn\n");
    home.tree.write("home/.zfunc/vpn", "~/Applications/VPN-3.AppImage \"$@\"\n");
    home.expect("AppImageAZshAutoloadedFunctionRunsStays", "vpn", {{entry, false}}, home.entryBytes(), {}, "vpn", RunnerKind::shellStartup);
}

// A job that changes into the AppImage's folder first, between settings and a comment.
void crontabJob(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("backup", "Backup", "Backup-2.1.AppImage");
    const fs::path data = home.tree.file("home/.config/Backup/state.json", 2000).parent_path();
    crontab(home, "SHELL=/bin/sh\nMAILTO = me@example.org\n# m h dom mon dow command\n*/15 * * * * cd ~/Applications && ./Backup-2.1.AppImage --quiet >/dev/null 2>&1\n");
    home.expect("AppImageACrontabJobRunsStays", "backup", {{entry, false}, {data, false}}, home.entryBytes(), {{data, home.tree.path() / "usr/bin/crontab"}},
                "crontab", RunnerKind::crontab);
}

// A job of a nickname that runs it through a setting.
void crontabSetting(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("syncer", "Syncer", "Syncer-1.0.AppImage");
    crontab(home, "SYNCER=/home/Applications/Syncer-1.0.AppImage\n@reboot $SYNCER --daemon\n");
    home.expect("AppImageACrontabSettingRunsStays", "syncer", {{entry, false}}, home.entryBytes(), {}, "crontab", RunnerKind::crontab);
}

// What a comment, a job's input after "%", or no crontab at all names is run by nothing: the
// AppImage goes with its settings.
void onlyMentioned(InstalledHome& home, const char* name) {
    const auto [entry, image] = home.anAppImage("mentioned", "Mentioned", "Mentioned-3.0.AppImage");
    const fs::path config = home.tree.file("home/.config/Mentioned/settings.json", 2000).parent_path();
    home.expect(name, "mentioned", {{entry, true}, {image, true}, {config, true}}, home.entryBytes() + allocated(image));
}

void commentedOut(InstalledHome& home) {
    onlyMentioned(home, "CommentedOutAliasAndJobKeepNothing");
    home.tree.write("home/.bashrc", "#alias m='~/Applications/Mentioned-3.0.AppImage'\n  # m() { ~/Applications/Mentioned-3.0.AppImage; }\n");
    crontab(home, "# @daily ~/Applications/Mentioned-3.0.AppImage\n");
}

void jobsInput(InstalledHome& home) {
    onlyMentioned(home, "AJobsInputRunsNothing");
    crontab(home, "0 3 * * * printf '\\%s\\n' done % ~/Applications/Mentioned-3.0.AppImage\n");
}

void noCrontab(InstalledHome& home) {
    onlyMentioned(home, "NoCrontabRunsNothing");
    writeFakeTool(home.tree.path() / "usr/bin/crontab", "echo \"no crontab for $(id -un)\" >&2\nexit 1");
}

constexpr FreshCase shellCases[]{
    {"AppImageABashAliasRunsStays", aliasInBashrc},     {"AppImageAnAliasWithArgumentsRunsStays", aliasWithArguments},
    {"AppImageAZshFunctionRunsStays", zshFunction},     {"AppImageAFishFunctionRunsStays", fishFunction},
    {"AppImageAZshAutoloadedFunctionRunsStays", zshAutoloaded}, {"AppImageACrontabJobRunsStays", crontabJob},       {"AppImageACrontabSettingRunsStays", crontabSetting},
    {"CommentedOutAliasAndJobKeepNothing", commentedOut}, {"AJobsInputRunsNothing", jobsInput},
    {"NoCrontabRunsNothing", noCrontab},
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Shells, FreshHomeFate, ::testing::ValuesIn(shellCases), [](const auto& row) { return std::string(row.param.name); });
