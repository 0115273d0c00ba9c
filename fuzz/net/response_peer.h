// What the two response fuzzers share: the input's reading, the loopback
// peer that sends it as the server's response (plain or TLS), and the
// checks after each download.
//
// The first input byte picks the request: bit 0 asks with HEAD instead of
// GET, bit 1 sends a second request over a connection that was kept. In the
// rest, 0xFF followed by another byte stands for one of the protocol's
// words (0xFF 0xFF for the byte 0xFF itself), so the fuzzer reaches chunked
// and length-delimited bodies quickly while every byte string stays
// possible.
//
// Each input checks that the download never crashes, never waits for more
// than the peer sends (the peer ends its side after the bytes), never writes
// anything but the output file, and that file holds no more than the peer
// sent.
#ifndef TESSAVO_FUZZ_NET_RESPONSE_PEER_H_
#define TESSAVO_FUZZ_NET_RESPONSE_PEER_H_

#include <cstddef>
#include <cstdint>

// Starts the peer; `secure` makes it a TLS server with a certificate of a
// test CA that the client trusts.
void startResponsePeer(bool secure);

// Runs one input against the peer; returns 0.
int fuzzOneResponse(const std::uint8_t* data, std::size_t size);

#endif  // TESSAVO_FUZZ_NET_RESPONSE_PEER_H_
