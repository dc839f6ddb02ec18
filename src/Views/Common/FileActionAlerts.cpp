#include "Views/Common/FileActionAlerts.h"

FileActionAlerts& FileActionAlerts::shared() {
    static FileActionAlerts alerts;
    return alerts;
}
