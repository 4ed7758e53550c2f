// Creation, publication and the end of the lambda reader.
#include "lambda/lc_threat.h"

#include <chrono>

#include "lambda/lambda_texts.h"

namespace veltrano {

std::atomic<bool> LcRunning{false};

TLcThreat::TLcThreat(const std::string& LamSensor, LcOptions options)
    : AEM(LamSensor == lambda_texts::kSensorAem),
      LC_1(LamSensor == lambda_texts::kSensorLc1),
      options_(std::move(options)) {}

bool TLcThreat::KnownSensor(const std::string& LamSensor) {
    return LamSensor == lambda_texts::kSensorAem || LamSensor == lambda_texts::kSensorLc1;
}

std::unique_ptr<TLcThreat> TLcThreat::Create(const std::string& Port, const std::string& LamSensor,
                                             LcOptions options) {
    std::unique_ptr<TLcThreat> reader(new TLcThreat(LamSensor, std::move(options)));
    if (reader->Prepare(Port)) {
        LcRunning = true;
        reader->running_ = true;
        reader->thread_ = std::thread(&TLcThreat::Execute, reader.get());
    }
    return reader;
}

// An unknown sensor type, or a port that refuses the line, would only hold the port that a
// rightly configured reader needs.
bool TLcThreat::Prepare(const std::string& Port) {
    if (!AEM && !LC_1)
        return false;
    hCOMPort = options_.makeLine ? options_.makeLine() : MakeSerialLine();
    if (!hCOMPort || !hCOMPort->Open(Port))
        return false;
    hCOMPort->Purge();
    if (hCOMPort->SetLine(LC_1 ? kLc1Baud : kAemBaud))
        return true;
    hCOMPort->Close();
    return false;
}

TLcThreat::~TLcThreat() {
    std::lock_guard lock(lifeMutex_);
    terminate_ = true;
    if (hCOMPort)
        hCOMPort->Interrupt();
    if (thread_.joinable())
        thread_.join();
    running_ = false;
    if (hCOMPort)
        hCOMPort->Close();
}

void TLcThreat::stop() {
    LcRunning = false;
    std::lock_guard lock(lifeMutex_);
    if (hCOMPort && thread_.joinable())
        hCOMPort->Interrupt();
    if (thread_.joinable())
        thread_.join();
    running_ = false;
    if (hCOMPort)
        hCOMPort->Close();
}

bool TLcThreat::Running() const {
    return running_;
}

bool TLcThreat::PortOpen() const {
    std::lock_guard lock(lifeMutex_);
    return hCOMPort && hCOMPort->IsOpen();
}

void TLcThreat::Execute() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    while (!Ending()) {
        if (LC_1)
            ReadLC1Packet();
        if (AEM)
            ReadAEMLine();
    }
    running_ = false;
}

bool TLcThreat::Ending() const {
    return !LcRunning || terminate_;
}

LambdaReading TLcThreat::Reading() const {
    std::lock_guard lock(readingMutex_);
    LambdaReading r = reading_;
    r.lc = lc;
    return r;
}

std::optional<LambdaReading> TLcThreat::TakeReading() {
    std::lock_guard lock(readingMutex_);
    if (!lc.exchange(false))
        return std::nullopt;
    LambdaReading r = reading_;
    r.lc = true;
    return r;
}

double TLcThreat::AFR() const {
    return Reading().AFR;
}
double TLcThreat::stochiometric() const {
    return Reading().stochiometric;
}
std::string TLcThreat::Message_LC1() const {
    return Reading().Message_LC1;
}

void TLcThreat::Publish(const LambdaReading& r) {
    std::lock_guard lock(readingMutex_);
    reading_ = r;
    lc = r.lc;
}

}  // namespace veltrano
