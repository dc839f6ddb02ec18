#pragma once

#include "Services/Preferences.h"

#include <QComboBox>

#include <utility>
#include <vector>

// A pop-up menu bound to one stored text preference: picking an option stores its tag at once, and
// a value stored elsewhere (another window) shows here. A stored value that matches no tag shows
// the fallback's option.
class PreferencePicker : public QComboBox {
    Q_OBJECT
public:
    struct Option {
        QString title;
        QString tag;
    };

    PreferencePicker(Preferences::Key key, QString fallback, const std::vector<Option>& options, QWidget* parent = nullptr);

signals:
    // A pick by the user that changed the stored text: the text before it and the tag stored now.
    void picked(const QString& previous, const QString& current);

private:
    void showStoredValue();

    Preferences::Key key_;
    QString fallback_;
};
