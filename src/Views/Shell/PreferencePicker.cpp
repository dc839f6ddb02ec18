#include "Views/Shell/PreferencePicker.h"

#include "Platform/SettingsStore.h"

PreferencePicker::PreferencePicker(QString key, QString fallback, const std::vector<Option>& options, QWidget* parent)
    : QComboBox(parent), key_(std::move(key)), fallback_(std::move(fallback)) {
    for (const Option& option : options) addItem(option.title, option.tag);
    showStoredValue();
    SettingsStore::shared().watch(key_, this, [this] { showStoredValue(); });
    // `activated` comes with every pick, also of the option already shown: a stored value that
    // matched no tag differs from every tag, so picking the option shown for it stores that tag.
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QString previous = SettingsStore::shared().value(key_, fallback_).toString();
        const QString current = itemData(index).toString();
        if (current == previous) return;
        SettingsStore::shared().setValue(key_, current);
        emit picked(previous, current);
    });
}

void PreferencePicker::showStoredValue() {
    int index = findData(SettingsStore::shared().value(key_, fallback_).toString());
    if (index < 0) index = findData(fallback_);
    setCurrentIndex(index);
}
