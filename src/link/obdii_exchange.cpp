// One request/answer exchange: write after the pause, the receive wait, echo removal and the
// answer dispatcher.
#include <algorithm>
#include <cmath>
#include <vector>

#include "link/framing.h"
#include "link/line_wait.h"
#include "link/link_texts.h"
#include "link/live_decoder.h"
#include "link/obdii.h"
#include "link/trace_format.h"
#include "link/trouble_codes.h"

namespace veltrano {

void TOBDII::AddLog(const std::string& text) {
    if (FWriteLog)
        FLogList.Add(TraceClock() + " - " + text);
}

void TOBDII::WritePacket(std::span<const std::uint8_t> packet) {
    const int pause = SleepTimeWrite;
    spacing_.BeforeRequest(pause);
    line_->Write(packet.data(), packet.size());
    lastWriteBytes_ = packet.size();
    AddLog("-> Sleep: " + std::to_string(pause) + " -> " + HexBytes(packet));
}

void TOBDII::ReadPacket(std::span<std::uint8_t> buf, int& Count) {
    const long expected = SleepCountData;
    WaitClock clock = SteadyWaitClock();
    if (sleep_)
        clock.sleepMs = sleep_;
    LineWaitRule rule{kReceiveBudgetMs, 0, receiveOnBytes_, expected, lineBaud_.load()};
    AnswerTiming* timing = requestService_ >= 0 ? &answerTiming_[requestService_] : nullptr;
    if (receiveOnBytes_) {
        rule.echoBytes = std::min(static_cast<long>(lastWriteBytes_), expected);
        rule.restForEcho = linePaced_;
        if (timing != nullptr && linePaced_)
            rule.answerAfterMs = timing->Predict();
    }
    const LineWait w =
        WaitOnLine(*line_, rule, clock, [expected](long n) { return n == expected; });
    lastWriteBytes_ = 0;
    requestService_ = -1;
    if (w.flowed || w.burst)
        linePaced_ = w.flowed && !w.burst;
    if (timing != nullptr && w.answerMs >= 0 && !w.burst)
        timing->Observe(w.answerMs, w.answerBound, WireMs(1, rule.baud));
    spacing_.Quiet();
    // The wait's length in whole milliseconds, which is the count of 1 ms polls it replaces.
    const int polls = std::clamp(static_cast<int>(std::ceil(w.usedMs)), 1, kReceiveBudgetMs);
    const long waiting = w.waiting;

    if (polls > kShortAnswerMs && waiting < expected) {
        if (++ErrorRead > 3)
            Flag_outDiag = true;
    } else {
        ErrorRead = 0;
        Flag_outDiag = false;
    }
    sysSendingDelay = polls + 10;
    const std::size_t want = std::min(static_cast<std::size_t>(waiting), buf.size());
    const long got = want > 0 ? line_->Read(buf.data(), want) : 0;
    Count = static_cast<int>(std::max(0L, got));
    AddLog("<- " + std::to_string(polls + 10) + " - " + HexBytes(buf.first(Count)));
}

void TOBDII::SendRequest(std::uint8_t target, std::uint8_t source, std::uint8_t service,
                         std::span<const std::uint8_t> data, std::uint8_t LengthByte) {
    const std::vector<std::uint8_t> frame = BuildRequest(target, source, service, data, LengthByte);
    std::vector<std::uint8_t> received(kReceiveBufferSize, 0);
    std::vector<std::uint8_t> answer(kReceiveBufferSize, 0);
    std::size_t answer_len = 0;
    {
        std::lock_guard<std::mutex> lock(port_mutex_);
        SleepCountData = ExpectedCount(service, data, LengthByte, SleepCountData);
        // An ECU confirms writes in one form; once a confirmation came, expect its length,
        // so a bare answer ends the wait as soon as it is in.
        const int confirmation = writeAnswerBytes_;
        if (service == 0x3D && LengthByte != 0 && confirmation > 0)
            SleepCountData = static_cast<int>(frame.size()) + confirmation;
        requestService_ = service;
        WritePacket(frame);
        int count = 0;
        ReadPacket(received, count);
        answer_len = DeleteEcho(frame, std::span(received).first(count), answer);
    }
    ParseAnswer(std::span(answer).first(answer_len));
}

void TOBDII::SendService(std::uint8_t target, std::uint8_t source, std::uint8_t service) {
    SendRequest(target, source, service, {}, 0);
}

void TOBDII::ParseAnswer(std::span<const std::uint8_t> answer) {
    if (!CheckCRC(answer)) {
        AddLog(link_text::kCrcFalse);
        return;
    }
    AddLog(link_text::kCrcOk);
    if (answer.size() < 2 || answer[1] != kTesterAddress)
        return;
    const AnswerParts parts = SplitAnswer(answer);
    switch (parts.service) {
        case 0xC1:
            AddLog(link_text::kStartCommunicationOk);
            FCommunication = true;
            SleepTimeWrite = 150;
            break;
        case 0xC2:
            AddLog(link_text::kStopCommunicationOk);
            FCommunication = false;
            break;
        case 0x50:
            AddLog(link_text::kStartDiagnosticSessionOk);
            FDiagnosticSession = true;
            StartDiagSession = true;
            break;
        case 0x60:
            AddLog(link_text::kStopDiagnosticSessionOk);
            FDiagnosticSession = false;
            break;
        case 0x7E:
            TesterPres = true;
            break;
        case 0x54:
            AddLog(link_text::kClearDiagnosticInformationOk);
            Flag_Clear_Error = false;
            Flag_Read_Error = true;
            break;
        case 0x58:
            AddLog(link_text::kReadTroubleCodesOk);
            Flag_Read_Error = false;
            OBD_ERROR.Assign(ParseTroubleCodes(parts.payload));
            TroubleCodeReads += 1;
            break;
        case 0x70:
            AddLog(link_text::kSwitchToRamOk);
            FlagSwitchToRam = true;
            break;
        case 0x7D:
            AddLog(link_text::kWriteMemoOk);
            writeAnswerBytes_ = static_cast<int>(answer.size());
            ConfirmWrite(parts.payload);
            break;
        case 0x7F:
            AddLog(link_text::kNegativeAnswer);
            break;
        case 0x61:
            AddLog(link_text::kReadDataOk);
            if (parts.long_form)
                DecodeLive(parts.payload);
            break;
        default:
            break;
    }
}

void TOBDII::DecodeLive(std::span<const std::uint8_t> payload) {
    {
        std::lock_guard<std::mutex> lock(live_mutex_);
        LiveRecord next = live_;
        if (!DecodeLiveBlock(payload, FdadNaklon, FdadSMeshenie, next))
            return;
        next.sequence = live_.sequence + 1;
        live_ = next;
        if (next.block == 0x0F)
            OLT_TAB.COEFFCORR_OLT = next.COEFFCORR_OLT;
    }
    FlagIsNew = true;
}

}  // namespace veltrano
