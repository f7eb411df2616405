#pragma once

#include <QMainWindow>

namespace dyadix {

// The program's one window.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);

    // Loads the window while it is hidden, then shows it.
    void start();
};

} // namespace dyadix
