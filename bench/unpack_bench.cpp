// Unpacking throughput in bytes of output per second: LZ and multimedia members of 8 MiB made with flat
// code tables, and the largest real compressed member of the shared test archives.
#include "data/archive_reader.h"
#include "data/rar20_format.h"
#include "data/rar20_unpacker.h"
#include "tests/data/rar20_flat_stream.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

namespace {

constexpr std::size_t memberSize = 8u << 20;

struct Member {
    std::vector<std::uint8_t> packed;
    std::size_t size = 0;
};

// Text-like data: runs of literals from a small alphabet between matches of typical lengths, mostly near
// but sometimes far back in the window.
Member lzMember() {
    FlatStream stream;
    stream.lzTables();
    std::mt19937 random(1);
    while (stream.output().size() < memberSize) {
        for (unsigned i = random() % 8; i > 0; --i)
            stream.literal(static_cast<std::uint8_t>('a' + random() % 26));
        const std::size_t written = stream.output().size();
        if (written < 300)
            continue;
        const unsigned reach =
            static_cast<unsigned>(std::min<std::size_t>(written, random() % 8 ? 4096 : 0x100000));
        stream.match(3 + random() % 40, 1 + random() % reach);
    }
    return {stream.take(), stream.output().size()};
}

// Two interleaved channels of small deltas, as 16-bit sound gives.
Member multimediaMember() {
    FlatStream stream;
    stream.multimediaTables(2);
    std::mt19937 random(2);
    for (std::size_t i = 0; i < memberSize; ++i)
        stream.delta(static_cast<std::uint8_t>(random() % 16 - 8));
    return {stream.take(), memberSize};
}

// The largest compressed member of the shared real archives.
Member realMember() {
    std::ifstream in(HELIOX_VECTORS_DIR "/rar20/Rar2.rar", std::ios::binary);
    const std::vector<std::uint8_t> archive{std::istreambuf_iterator<char>(in),
                                            std::istreambuf_iterator<char>()};
    MemoryArchiveSource source(archive);
    std::vector<MemberHeader> members;
    listMembers(source, members);
    Member largest;
    for (const MemberHeader& member : members) {
        if (member.method != rar::methodStored && member.unpSize > largest.size) {
            largest.size = member.unpSize;
            largest.packed.resize(member.packSize);
            source.read(member.dataOffset, largest.packed);
        }
    }
    return largest;
}

void unpackMember(benchmark::State& state, const Member& member) {
    if (member.size == 0) {
        state.SkipWithError("no member to unpack");
        return;
    }
    std::vector<std::uint8_t> out(member.size);
    Rar20Unpacker unpacker;
    for (auto _ : state) {
        std::size_t at = 0;
        const bool ok = unpacker.unpack(member.packed, static_cast<std::uint32_t>(member.size), false,
                                        [&](std::span<const std::uint8_t> piece) {
                                            std::memcpy(out.data() + at, piece.data(), piece.size());
                                            at += piece.size();
                                        });
        if (!ok || at != member.size) {
            state.SkipWithError("unpacking failed");
            return;
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * member.size));
}

void lz(benchmark::State& state) {
    static const Member member = lzMember();
    unpackMember(state, member);
}

void multimedia(benchmark::State& state) {
    static const Member member = multimediaMember();
    unpackMember(state, member);
}

void realArchiveMember(benchmark::State& state) {
    static const Member member = realMember();
    unpackMember(state, member);
}

} // namespace

BENCHMARK(lz)->Unit(benchmark::kMillisecond);
BENCHMARK(multimedia)->Unit(benchmark::kMillisecond);
BENCHMARK(realArchiveMember)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
