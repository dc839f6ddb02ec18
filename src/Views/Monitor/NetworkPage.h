#pragma once

#include "Views/Monitor/MonitorPage.h"

class AreaTrend;
class StatTile;
class TrendHero;

// The network tab: the download rate with its trend, the upload rate and the peak, the totals
// since the monitor started and the trend of uploads.
class NetworkPage : public MonitorPage {
    Q_OBJECT
public:
    explicit NetworkPage(MonitorPageContext context, QWidget* parent = nullptr);

    void refresh() override;

    TrendHero* hero() const { return hero_; }
    StatTile* downloadTile() const { return download_; }
    StatTile* uploadTile() const { return upload_; }
    StatTile* downloadedTile() const { return downloaded_; }
    StatTile* uploadedTile() const { return uploaded_; }

private:
    TrendHero* hero_;
    StatTile* download_;
    StatTile* upload_;
    StatTile* downloaded_;
    StatTile* uploaded_;
    AreaTrend* uploadTrend_;
};
