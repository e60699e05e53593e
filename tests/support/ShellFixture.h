#pragma once

#include "CoreFixture.h"

#include <QWidget>

// Also remembers which windows were made top-most, by object name.
class FixtureWindows : public platform::FakeWindows
{
public:
    QStringList topMost;
    void setTopMost(QWidget *window, bool onTop) override
    {
        FakeWindows::setTopMost(window, onTop);
        if (window && onTop)
            topMost.append(window->objectName());
    }
};

// The shared fixture for tests of forms.
class ShellFixture : public BasicFixture<FixtureWindows>
{
public:
    using BasicFixture::BasicFixture;
};
