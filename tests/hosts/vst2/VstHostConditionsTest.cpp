// How real hosts behave around the plug-in: their locale, their channel
// layouts, saves from another thread while audio runs, their transport.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <string>

#include "tests/hosts/vst2/VstTestHost.h"
#include "tests/support/ScopedLocale.h"

using namespace Vst2;
using sonvera_test::ScopedLocale;
using sonvera_test::TestAudio;
using sonvera_test::VstTestHost;
using VstHostConditions = sonvera_test::VstHostFixture;

namespace {

constexpr int32_t Volume = 0, Attack = 16, Release = 17;

// Every parameter away from its default, so that a lost value shows.
void SetEveryParameter(VstTestHost::Instance& instance) {
    for (int32_t i = 0; i < instance.effect->numParams; ++i)
        instance.SetParameter(i, static_cast<float>((i * 37 % 97) / 97.0 + 0.003));
}

}  // namespace

TEST_F(VstHostConditions, NumbersIgnoreTheHostsLocale) {
    ScopedLocale comma(sonvera_test::CommaLocale);
    if (!comma.Active()) GTEST_SKIP() << sonvera_test::CommaLocaleMissing;
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");

    char typed[] = "-6.5";
    ASSERT_EQ(instance_->Dispatch(effString2Parameter, Volume, 0, typed), 1);
    EXPECT_EQ(instance_->Text(effGetParamDisplay, Volume), "-6.50 dB");

    SetEveryParameter(*instance_);
    const std::string attack = instance_->Text(effGetParamDisplay, Attack);
    EXPECT_EQ(attack.find(','), std::string::npos) << attack;
    const std::vector<uint8_t> savedWithComma = instance_->GetChunk();

    // Saved under one locale, loaded under the other, both ways round.
    VstTestHost::Instance* other = host_.Open();
    {
        ScopedLocale plain("C");
        ASSERT_TRUE(other->SetChunk(savedWithComma));
        for (int32_t i = 0; i < instance_->effect->numParams; ++i)
            ASSERT_FLOAT_EQ(other->GetParameter(i), instance_->GetParameter(i)) << i;
        EXPECT_EQ(other->Text(effGetParamDisplay, Release), instance_->Text(effGetParamDisplay, Release));
        EXPECT_EQ(other->GetChunk(), savedWithComma) << "the same state, byte for byte";
        other->SetParameter(Attack, 0.71f);
    }
    const std::vector<uint8_t> savedPlain = [&] {
        ScopedLocale plain("C");
        return other->GetChunk();
    }();
    ASSERT_TRUE(instance_->SetChunk(savedPlain));
    EXPECT_FLOAT_EQ(instance_->GetParameter(Attack), 0.71f);
    VstTestHost::Close(other);
}
