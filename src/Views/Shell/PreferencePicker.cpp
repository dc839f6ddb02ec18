#include "Views/Shell/PreferencePicker.h"


PreferencePicker::PreferencePicker(Preferences::Key key, QString fallback, const std::vector<Option>& options, QWidget* parent)
    : QComboBox(parent), key_(key), fallback_(std::move(fallback)) {
    for (const Option& option : options) addItem(option.title, option.tag);
    showStoredValue();
    Preferences::watch(key_, this, [this] { showStoredValue(); });
    // `activated` comes with every pick, also of the option already shown: a stored value that
    // matched no tag differs from every tag, so picking the option shown for it stores that tag.
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QString previous = Preferences::text(key_, fallback_);
        const QString current = itemData(index).toString();
        if (current == previous) return;
        Preferences::setText(key_, current);
        emit picked(previous, current);
    });
}

void PreferencePicker::showStoredValue() {
    int index = findData(Preferences::text(key_, fallback_));
    if (index < 0) index = findData(fallback_);
    setCurrentIndex(index);
}
