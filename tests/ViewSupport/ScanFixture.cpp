#include "ViewSupport/ScanFixture.h"

#include "Foundation/Cancelled.h"
#include "Services/DiskScanner.h"

#include <fstream>
#include <string>
#include <thread>

ScanFixture::ScanFixture() : root_(std::filesystem::path(dir_.path().toStdString()) / "ana") {
    std::filesystem::create_directories(root_);
    file("Videos/Holiday 2019.mkv", 3'000'000);
    file("Videos/Holiday 2021.mkv", 2'200'000);
    file("Videos/clips/intro.mp4", 900'000);
    file("Videos2/trailer.mp4", 700'000);
    for (int i = 0; i < 40; ++i) file("Projects/app/src/module" + std::to_string(i) + ".cpp", 12'000 + i * 700);
    file("Projects/app/build/app.bin", 1'600'000);
    file("Pictures/Shot 2.png", 420'000);
    file("Pictures/Shot 10.png", 380'000);
    file("Documents/taxes.pdf", 240'000);
    file("Music/album/track 01.flac", 1'100'000);
    file(".cache/thumbnails/a.png", 160'000);
    file("Downloads/setup.deb", 800'000);
    file("<b>bold & co\nnew line/readme.txt", 40'000);
    file("\xff\xfe raw name/data.bin", 64'000);
    file("Desktop/todo.txt", 8'000);
    file("Templates/letter.odt", 20'000);
    file("notes.txt", 30'000);
}

ScanFixture::~ScanFixture() {
    std::error_code error;
    std::filesystem::remove_all(root_, error);
}

std::filesystem::path ScanFixture::file(const std::string& relative, std::size_t size) const {
    const std::filesystem::path path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << std::string(size, 'x');
    return path;
}

AppServices ScanFixture::services() {
    AppServices services;
    auto hold = holdScans;
    services.scan = [hold](const AppServices::Path& root, bool includeHidden, const std::function<void(const ScanProgress&)>& progress,
                           std::stop_token stop) {
        std::int64_t seen = 0;
        while (hold->load()) {
            if (stop.stop_requested()) throw Cancelled();
            seen += 1'700'000 + (seen % 3) * 400'000;
            progress(ScanProgress{(root / "Projects/app/src").string(), seen / 40'000, seen});
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
        return DiskScanner(std::chrono::milliseconds(10)).scan(root, includeHidden, progress, stop);
    };
    services.recordScan = [](const ScanSnapshot&) {};
    services.chooseFolder = [](const AppServices::Path&) { return std::optional<AppServices::Path>(); };
    services.openPrivacySettings = [] {};
    return services;
}
