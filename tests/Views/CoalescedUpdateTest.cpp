#include "Views/Common/CoalescedUpdate.h"
#include "Views/Common/PendingClick.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(CoalescedUpdate, ABurstOfRequestsUpdatesOnceOnTheNextTurn) {
    QObject owner;
    int updates = 0;
    auto* update = new CoalescedUpdate([&] { ++updates; }, &owner);
    update->request();
    update->request();
    update->request();
    EXPECT_EQ(updates, 0);  // nothing happens inside the handler that asked
    QCoreApplication::processEvents();
    EXPECT_EQ(updates, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(updates, 1);
    update->request();
    QCoreApplication::processEvents();
    EXPECT_EQ(updates, 2);
}

TEST(PendingClick, ADoubleClickDropsTheWaitingClick) {
    std::vector<std::string> clicked;
    PendingClick pending([&](const std::string& id) { clicked.push_back(id); });
    pending.clicked("a");
    pending.doubleClicked();
    pending.settle();
    EXPECT_TRUE(clicked.empty());
    pending.clicked("a");
    pending.clicked("b");  // the newer click replaces the waiting one
    pending.settle();
    EXPECT_EQ(clicked, std::vector<std::string>{"b"});
}
