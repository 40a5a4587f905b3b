#include <gtest/gtest.h>

#include "render/gui_session.h"

// Text rendering needs the application object for the whole run.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    kenvo::GuiSession gui;
    return RUN_ALL_TESTS();
}
