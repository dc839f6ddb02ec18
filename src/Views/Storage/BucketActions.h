#pragma once

#include "Models/StorageBucket.h"

#include <QPoint>

#include <filesystem>
#include <functional>

class QWidget;

// What the storage screen offers on a bucket from its rows, tiles and cards.
namespace BucketActions {

using Focus = std::function<void(const StorageBucket&)>;

// Only a real folder can become the scan folder: a file or a link to a folder would fail the scan.
bool canFocus(const StorageBucket& bucket);

// The context menu: focus, open, reveal, then copy path. Focus is offered for folders only.
void showMenu(QWidget* parent, QPoint globalPosition, const StorageBucket& bucket, const Focus& focus);
// The menu of a file row: open, reveal, then copy path.
void showFileMenu(QWidget* parent, QPoint globalPosition, const std::filesystem::path& file);
// The menu of an item that is only shown, never opened (an application, its leftovers): reveal, then copy path.
void showRevealMenu(QWidget* parent, QPoint globalPosition, const std::filesystem::path& item);

}  // namespace BucketActions
