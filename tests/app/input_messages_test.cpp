#include "app/input_messages.h"

#include <string>

#include <gtest/gtest.h>

#include "design/result_texts.h"

namespace {

using fbc::CalculationResult;
using fbc::DesignInput;
using fbc::StopReason;

std::string str(const QString& text) { return text.toStdString(); }

struct ProblemCase {
  DesignInput input;
  const char* text;
  const char* says;  // empty: usable
};

TEST(InputMessagesTest, InputProblemJudgesTheTextAsTheCalculationReadsIt) {
  const ProblemCase cases[] = {
      {DesignInput::Vin, "200", ""},
      {DesignInput::Vin, "", "数値ではありません"},
      {DesignInput::Vin, "abc", "直流入力電圧"},
      {DesignInput::Vout, "-", "数値ではありません"},
      {DesignInput::Vout, "1e39", "大きすぎます"},
      {DesignInput::Fs, "1e39", ""},
      {DesignInput::Effi, "80", ""},
      {DesignInput::Effi, "0", "0より大きい"},
      {DesignInput::Effi, "-5", "0より大きい"},
      {DesignInput::Duty, "0.5", ""},
      {DesignInput::Duty, "0", "0より大きく1より小さい"},
      {DesignInput::Duty, "1", "0より大きく1より小さい"},
      {DesignInput::Duty, "-0.5", "0より大きく1より小さい"},
      {DesignInput::Core, "pq2016", ""},
  };
  for (const ProblemCase& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " in " + str(fbc::inputName(c.input)));
    const QString problem = fbc::inputProblem(c.input, QString::fromUtf8(c.text));
    if (std::string(c.says).empty()) {
      EXPECT_TRUE(problem.isEmpty()) << str(problem);
    } else {
      EXPECT_TRUE(problem.contains(QString::fromUtf8(c.says))) << str(problem);
    }
  }
}

TEST(InputMessagesTest, StopMessageNamesTheInputAndTheReason) {
  struct Case {
    DesignInput cause;
    StopReason reason;
    const char* core;
    const char* says;
  };
  const Case cases[] = {
      {DesignInput::Duty, StopReason::NotANumber, "EER25.5", "「Duty」の入力が数値ではありません"},
      {DesignInput::Effi, StopReason::EfficiencyNotPositive, "EER25.5", "予測効率"},
      {DesignInput::Duty, StopReason::DutyOutOfRange, "EER25.5", "0より大きく1より小さい"},
      {DesignInput::Core, StopReason::NoUsableCore, "", "コアが選択されていません"},
      {DesignInput::Core, StopReason::NoUsableCore, "END", "「END」はコアの一覧にありません"},
      {DesignInput::Vin, StopReason::ArithmeticFault, "EER25.5", "transformer"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.says);
    CalculationResult result;
    result.cause = c.cause;
    result.reason = c.reason;
    result.quantity = "Np";
    fbc::DesignInputs inputs;
    inputs.core = QString::fromUtf8(c.core).toStdU16String();
    const QString message = fbc::stopMessage(result, inputs);
    EXPECT_TRUE(message.startsWith(QStringLiteral("計算を中止しました。"))) << str(message);
    EXPECT_TRUE(message.contains(QString::fromUtf8(c.says))) << str(message);
    EXPECT_TRUE(message.endsWith(fbc::stopReasonText(result, inputs)));
  }
}

TEST(InputMessagesTest, FaultsOutsideTheInputsGiveTheMakersAddress) {
  const QString address = QString::fromStdU16String(std::u16string(fbc::kMakerContactAddress));
  CalculationResult result;
  result.reason = StopReason::ArithmeticFault;
  EXPECT_TRUE(fbc::stopMessage(result, {}).contains(address));
  EXPECT_FALSE(fbc::stopMessage(result, {}).contains(QStringLiteral("（）")));
  const QString runtime =
      fbc::runtimeErrorMessage(fbc::RuntimeError(fbc::ErrorNumber::Overflow, "Ip"));
  EXPECT_TRUE(runtime.contains(QStringLiteral("6")));
  EXPECT_TRUE(runtime.contains(address));
  EXPECT_TRUE(fbc::unexpectedErrorMessage().contains(address));
}

TEST(InputMessagesTest, PreviousCoreNoticeNamesBothCores) {
  const QString notice =
      fbc::previousCoreNotice(QStringLiteral("pq2016"), QStringLiteral("EER25.5"));
  EXPECT_TRUE(notice.contains(QStringLiteral("pq2016")));
  EXPECT_TRUE(notice.contains(QStringLiteral("EER25.5")));
  EXPECT_EQ(str(fbc::previousCoreToolTip(QStringLiteral("EER25.5"))),
            "計算はコア EER25.5 で行いました");
}

}  // namespace
