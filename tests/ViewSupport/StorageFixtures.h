#pragma once

#include "Models/ScanSnapshot.h"
#include "Models/StorageBucket.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace StorageFixtures {

StorageBucket bucket(const std::string& name, std::int64_t size, std::int64_t files = 1, const std::string& parent = "/home/ana");

// The list as the storage views take it: pointing into buckets the caller keeps.
std::vector<const StorageBucket*> pointersTo(const std::vector<StorageBucket>& buckets);

// Renders a freshly made widget to <screens>/<name>-{light,dark,arabic}.png: light and dark in English,
// then Arabic right to left in light. `make` is called once per picture, after the look is set.
void renderScreens(const QString& name, QSize size, const std::function<std::unique_ptr<QWidget>()>& make);

}  // namespace StorageFixtures
