#pragma once

#include <QDialog>

// The about window: product, version, rights notice, the home page and support addresses, and
// the way to the acknowledgements.
class TFormAbout final : public QDialog {
    Q_OBJECT

public:
    explicit TFormAbout(QWidget* owner);

private:
    void OpenAddress(const QString& url);
};

// Lists the libraries Tremlow is built on and their licences.
class TFormAcknowledgments final : public QDialog {
    Q_OBJECT

public:
    explicit TFormAcknowledgments(QWidget* owner);
};
