#include "session/Messages.h"

#include <gtest/gtest.h>

using namespace tolvane;

TEST(Messages, TextComesFromTheModulesStringTable)
{
    EXPECT_EQ(MessageText(msg::CallAlreadyActive),
              L"It is not possible to start more than one call per session in parallel (finish the active call first)");
}
