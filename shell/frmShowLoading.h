#pragma once

#include <QLabel>
#include <QWidget>

#include <array>

// The loading screen shown while the shell starts: the product name, a
// "please wait" line and a progress bar the menu advances while it builds.
class frmShowLoading : public QWidget
{
    Q_OBJECT

public:
    explicit frmShowLoading(QWidget *parent = nullptr);
    ~frmShowLoading() override;

    // Fills the progress bar to this fraction (0..1).
    void SetProgress(double fraction);
    double Progress() const { return m_progress; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::array<QLabel *, 2> Label3{}; // "Brindle": shadow and face
    std::array<QLabel *, 2> Label1{}; // "Loading, please wait..."
    QWidget *picProgress = nullptr;
    double m_progress = 0.0;
};
