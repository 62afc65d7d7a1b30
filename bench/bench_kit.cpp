// Host-side cost of secure messaging: wrap + unwrap of one protected command and the host's
// part of mutual authentication, in both cipher suites.
#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/KaltorDriver.hpp"
#include "SelvorTokenKit/SecureMessaging.hpp"
#include "support/Handshake.hpp"
#include "support/ProtectedReply.hpp"

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace SelvorTokenKit;

namespace {

const Bytes transportKey(KaltorDriver::defaultTransportKey.begin(),
                         KaltorDriver::defaultTransportKey.end());

// Answers with the recorded replies of a successful handshake, over and over.
class ReplayCard : public CardTransmitter {
public:
    explicit ReplayCard(std::vector<Bytes> replies) : m_replies(std::move(replies)) {}
    Bytes transmitRaw(std::span<const std::uint8_t>) override {
        const Bytes& reply = m_replies[m_next];
        m_next = (m_next + 1) % m_replies.size();
        return reply;
    }

private:
    std::vector<Bytes> m_replies;
    std::size_t m_next = 0;
};

void wrapAndUnwrap(benchmark::State& state, bool fips, std::size_t size) {
    SecureMessaging session = std::move(Testing::makeHandshake(fips, transportKey).twin);
    const Bytes data(size, 0x5A);
    const Bytes reply = hexToBytes(Testing::protectedReply(session, bytesToHex(data)));
    for (auto _ : state) {
        Bytes command = session.wrapAPDU(0x00, 0xD6, 0x00, 0x00, data, std::nullopt);
        UnwrappedResponse answer = session.unwrapResponse(reply);
        benchmark::DoNotOptimize(command);
        benchmark::DoNotOptimize(answer);
    }
}

void mutualAuthentication(benchmark::State& state, bool fips) {
    const Testing::Handshake handshake = Testing::makeHandshake(fips, transportKey);
    std::vector<Bytes> replies;
    for (const Testing::Exchange& exchange : handshake.exchanges) {
        replies.push_back(hexToBytes(*exchange.reply));
    }
    ReplayCard card(replies);
    const RandomSource random = Testing::fixedRandom(handshake.hostChallenge);
    for (auto _ : state) {
        SecureMessaging session(random);
        session.mutualAuth(card, transportKey, transportKey);
        benchmark::DoNotOptimize(session.isEstablished());
    }
}

// Prints "name: value unit" for each benchmark: CPU microseconds per iteration (wall time on a
// shared machine measures the neighbours as much as the kit).
class LineReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            std::printf("%s: %.2f us\n", run.benchmark_name().c_str(), run.GetAdjustedCPUTime());
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    for (const bool fips : {false, true}) {
        const std::string suite = fips ? "aes" : "des";
        for (const std::size_t size : {16, 200}) {
            benchmark::RegisterBenchmark(
                ("kit_wrap_unwrap_" + suite + "_" + std::to_string(size) + "B").c_str(),
                wrapAndUnwrap, fips, size)
                ->Unit(benchmark::kMicrosecond);
        }
        benchmark::RegisterBenchmark(("kit_mutual_auth_host_" + suite).c_str(),
                                     mutualAuthentication, fips)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    LineReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
