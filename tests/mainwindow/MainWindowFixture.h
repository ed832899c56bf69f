// The main window on a temporary card (drive E:, with "Icon"), a work area
// of our choosing and a driver on the virtual clock.
#pragma once

#include "app/Globals.h"
#include "mainwindow/MAIN.h"
#include "platform/vcl/TestDriver.h"
#include "platform/win/SystemInfo.h"
#include "tests/app/AppCard.h"

#include <gtest/gtest.h>

#include <string>

namespace mainwindow_test {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        driver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
        ProgramFolder = u"E:\\";
        ProgramDrive = 'E';
        SetWorkArea(1920, 1040);
    }
    ~MainWindowTest() override
    {
        Application->DestroyComponents();
        win::ResetScreen();
        LayoutIndex = -1;
    }

    // A screen 40 pixels taller than its work area (the taskbar).
    static void SetWorkArea(int width, int height)
    {
        win::SetScreen(win::SIZE{width, height + 40}, win::RECT{0, 0, width, height});
    }
    // Constructor, then the creation event, as the entry makes it.
    TMainForm& Create()
    {
        Application->CreateForm(MainForm);
        return *MainForm;
    }

    app_test::AppCard card;
    TApplication app;
    TestDriver driver;
};

} // namespace mainwindow_test
