// Kills, loot, sales, purchases and merchants through whole runs.
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace krav::test {
namespace {

using LootTest = StandardRunTest;

TEST_F(LootTest, KillsCountPerMobAcrossZonesAndLetterCase) {
    Run({At("10:00:00", "You have slain a gnoll pup!"), At("10:00:01", "You have entered Qeynos Hills."),
         At("10:00:02", "You have slain A Gnoll Pup!"), At("10:00:03", "You have slain Fippy Darkpaw!")},
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gMobs),
              (Lines{"a gnoll pup|0|2|Qeynos Hills", "Fippy Darkpaw|0|1|Qeynos Hills"}));
    EXPECT_NE(Kept().find("You have slain A Gnoll Pup!\r\n"), std::string::npos);
}

TEST_F(LootTest, LootAndDropsWithLinksAndPluralKeys) {
    const std::string link =
        "\x12"
        "0012345"
        "Cloth Cap"
        "\x12";
    Run({At("10:00:00", "You have entered Blackburrow."), At("10:00:01", "--You have looted a Bone Chip.--"),
         At("10:00:02", "--You have looted 2 Bone Chips.--"),
         At("10:00:03", "--You have looted a " + link + ".--"),
         At("10:00:04", "You just dropped your Bone Chip."),
         At("10:00:05", "You just dropped your Rusty Axe.")});
    EXPECT_EQ(TableRows(session.Tables.gLoot),
              (Lines{"*2 Bone Chips|1|0|0|?|Blackburrow", "Bone Chip|1|0|0|1|Blackburrow",
                     "Cloth Cap|1|0|0|?|Blackburrow", "Rusty Axe|0|0|0|1|"}));
}

TEST_F(LootTest, PurchasesDivideThePaymentByTheOfferedUnitPrice) {
    Run({At("10:00:00", "You have entered North Qeynos."),
         At("10:00:01", "Tamar tells you, 'That'll be 2 gold 5 silver per Cloth Cap'."),
         At("10:00:02", "You give 7 gold 5 silver to Tamar."),
         // A payment below the unit price still buys one; a second payment counts the same item again.
         At("10:00:03", "You give 1 gold to Tamar."),
         // An offer without "'." keeps the item of the earlier one but takes the new price.
         At("10:00:04", "Tamar tells you, 'That'll be 1 platinum for the Silk Robe"),
         At("10:00:05", "You give 3 platinum to Tamar."),
         At("10:00:06", "Oran tells you, 'That'll be 3 silver for 5 Arrows'."),
         At("10:00:07", "You give 6 silver to Oran."),
         // A greeting clears the offer: the payment counts only the merchant.
         At("10:00:08", "Tamar says 'Welcome to my shop, Bob. Have a look around.'"),
         At("10:00:09", "You give 5 gold to Tamar."), At("10:00:10", "You give nothing away.")},
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gLoot),
              (Lines{"*5 Arrows|0|2|0|?|North Qeynos", "Cloth Cap|0|7|0|?|North Qeynos"}));
    EXPECT_EQ(TableRows(session.Tables.gVendors), (Lines{"Oran|1|0|North Qeynos", "Tamar|4|0|North Qeynos"}));
    // A "You give " line without " to " is consumed and kept nowhere.
    EXPECT_EQ(Kept().find("You give nothing away."), std::string::npos);
}

TEST_F(LootTest, SalesCountTheMerchantAndTheItemButNotCorpseCoin) {
    Run({At("10:00:00", "You have entered Freeport."),
         At("10:00:01", "Tamar tells you, I'll give you 5 gold for the Cloth Cap."),
         At("10:00:02", "You receive 5 gold from Tamar for the Cloth Cap(s)."),
         At("10:00:03", "You receive 2 silver from Tamar for 3 Bone Chips."),
         At("10:00:04", "You receive 1 platinum from the corpse."), At("10:00:05", "You receive a gift.")},
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gVendors), (Lines{"Tamar|0|2|Freeport"}));
    EXPECT_EQ(TableRows(session.Tables.gLoot), (Lines{"*3 Bone Chips|0|0|1|?|", "Cloth Cap|0|0|1|?|"}));
    const std::string log = Kept();
    EXPECT_EQ(log.find("from the corpse"), std::string::npos);
    EXPECT_EQ(log.find("a gift"), std::string::npos);
    EXPECT_NE(log.find("I'll give you 5 gold"), std::string::npos);
}

TEST_F(LootTest, HugeMoneyNeverOverflows) {
    Run({At("10:00:00", "Tamar tells you, 'That'll be 1 copper per Pebble'."),
         At("10:00:01", "You give 99999999999999999999 platinum to Tamar."),
         At("10:00:02", "Tamar tells you, 'That'll be 99999999999999999999 platinum per Gem'."),
         At("10:00:03", "You give 1 copper to Tamar.")});
    EXPECT_EQ(TableRows(session.Tables.gLoot), (Lines{"Gem|0|1|0|?|", "Pebble|0|9223372036854775807|0|?|"}));
}

}  // namespace
}  // namespace krav::test
