#pragma once

// Framework-internal: tells the server's echo of a place or size the program
// asked for from a change someone else made (the window manager, the user
// through it).

#include <algorithm>
#include <chrono>
#include <deque>

namespace kivra::framework::detail {

template <typename T>
class EchoFilter {
public:
    // The program has asked for `value`.
    void Expect(const T& value) {
        const auto now = std::chrono::steady_clock::now();
        Forget(now);
        if (mPending.size() == kMostPending) mPending.pop_front();
        mPending.push_back({value, now});
    }

    // True if `value` answers one of the program's requests. Requests are
    // answered in order, and the server may report only the last of several,
    // so that one and every earlier one are settled. Anything else is a change
    // of someone else's, which also settles whatever was still pending.
    bool IsEcho(const T& value) {
        Forget(std::chrono::steady_clock::now());
        auto it = std::find_if(mPending.begin(), mPending.end(), [&](const auto& p) { return p.value == value; });
        if (it == mPending.end()) {
            mPending.clear();
            return false;
        }
        mPending.erase(mPending.begin(), it + 1);
        return true;
    }

private:
    // A request whose answer never came (the server reports no change that
    // changes nothing) must not later hide a real change to the same value.
    void Forget(std::chrono::steady_clock::time_point now) {
        while (!mPending.empty() && now - mPending.front().at > kLongestWait) mPending.pop_front();
    }

    static constexpr std::size_t kMostPending = 64;
    static constexpr std::chrono::seconds kLongestWait{2};
    struct Pending {
        T value;
        std::chrono::steady_clock::time_point at;
    };
    std::deque<Pending> mPending;
};

}  // namespace kivra::framework::detail
