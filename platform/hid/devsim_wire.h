#pragma once

// The framing between the device emulator (tavrik-devsim) and the sim socket
// backend: length-prefixed frames on a Unix stream socket. Everything that
// arrives is checked against its declared sizes before it is used.

#include "platform/hid/hid_backend.h"

#include <cstdint>
#include <vector>

namespace tavrik::hid::wire {

enum class FrameType : std::uint8_t {
    NodeAdd = 1,     // emulator -> program: a node appeared
    NodeRemove = 2,  // emulator -> program: a node went away
    Input = 3,       // emulator -> program: an input report of a node
    Ready = 4,       // emulator -> program: the initial node list is complete
    Output = 5,      // program -> emulator: an output or feature report for a node
};

inline constexpr std::uint32_t kMaxFrame = 1u << 20;

std::vector<std::uint8_t> EncodeNodeAdd(std::uint32_t nodeId, const NodeInfo& info);
bool DecodeNodeAdd(const std::vector<std::uint8_t>& payload, std::uint32_t* nodeId, NodeInfo* info);

std::vector<std::uint8_t> EncodeReport(std::uint32_t nodeId, std::uint8_t kind, const std::uint8_t* report,
                                       std::size_t length);
bool DecodeReport(const std::vector<std::uint8_t>& payload, std::uint32_t* nodeId, std::uint8_t* kind,
                  std::vector<std::uint8_t>* report);

std::vector<std::uint8_t> EncodeNodeId(std::uint32_t nodeId);
bool DecodeNodeId(const std::vector<std::uint8_t>& payload, std::uint32_t* nodeId);

// A whole frame (length, type, payload) ready to be written; empty when the
// payload is too large for a frame.
std::vector<std::uint8_t> EncodeFrame(FrameType type, const std::vector<std::uint8_t>& payload);

// Blocking frame I/O; false on a closed or broken socket or a malformed frame.
bool WriteFrame(int fd, FrameType type, const std::vector<std::uint8_t>& payload);
// Writes bytes of EncodeFrame in full (blocking).
bool WriteEncoded(int fd, const std::vector<std::uint8_t>& frame);
bool ReadFrame(int fd, FrameType* type, std::vector<std::uint8_t>* payload);

}  // namespace tavrik::hid::wire
