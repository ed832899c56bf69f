#include "platform/backends/pulse/PulseSoundOutput.h"

#include <chrono>
#include <cmath>
#include <string>

#include "platform/backends/pulse/PulseConnection.h"

namespace pulse {

namespace {

using Clock = std::chrono::steady_clock;

class PulsePlayer final : public media::SoundPlayer {
public:
    ~PulsePlayer() override
    {
        PulseConnection& c = PulseConnection::Instance();
        PulseConnection::Lock lock(c);
        DropStream();
    }

    void Play(const media::SourceStream& stream, media::REFERENCE_TIME position) override
    {
        PulseConnection& c = PulseConnection::Instance();
        const auto now = Clock::now();
        if (playing_ && stream.hostPath == path_ && stream.stream.number == number_) {
            const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - startedAt_).count();
            const media::REFERENCE_TIME expected = startPosition_ + elapsed * 10;
            if (std::llabs(position - expected) <= PulseSoundOutput::kOutOfStep && StreamAlive())
                return;
        }
        if (!c.Ready())
            return; // silence; connecting goes on meanwhile

        const media::AsfAudioFormat& f = stream.stream.audio;
        if (f.channels < 1 || f.channels > PA_CHANNELS_MAX || f.samplesPerSec < 1000 || f.samplesPerSec > 192000)
            return;
        std::unique_ptr<media::AudioReader> reader;
        if (!reader_ || stream.hostPath != path_ || stream.stream.number != number_) {
            reader = media::CurrentAudioSource().OpenAudio(stream); // file reading, outside the lock
            if (!reader) {
                Halt();
                return;
            }
        }
        PulseConnection::Lock lock(c);
        if (reader) {
            reader_ = std::move(reader);
            path_ = stream.hostPath;
            number_ = stream.stream.number;
        }
        pa_sample_spec spec{PA_SAMPLE_S16LE, f.samplesPerSec, static_cast<std::uint8_t>(f.channels)};
        if (stream_ != nullptr && (!StreamAlive() || !pa_sample_spec_equal(&spec, &spec_)))
            DropStream();
        if (stream_ == nullptr && !Connect(spec))
            return;
        reader_->Seek(position);
        playing_ = true;
        // A stream still being created is started when it becomes ready (OnState).
        if (pa_stream_get_state(stream_) == PA_STREAM_READY) {
            Fire(pa_stream_flush(stream_, nullptr, nullptr));
            Fire(pa_stream_cork(stream_, 0, nullptr, nullptr));
            // The server asks only for what it has not asked for before: what
            // it asked while we were halted is answered here, or the stream
            // starves for good.
            Feed(stream_, pa_stream_writable_size(stream_));
        }
        startPosition_ = position;
        startedAt_ = now;
    }

    void Halt() override
    {
        if (!playing_)
            return;
        PulseConnection& c = PulseConnection::Instance();
        PulseConnection::Lock lock(c);
        playing_ = false;
        if (stream_ != nullptr && pa_stream_get_state(stream_) == PA_STREAM_READY) {
            Fire(pa_stream_cork(stream_, 1, nullptr, nullptr));
            Fire(pa_stream_flush(stream_, nullptr, nullptr));
        }
    }

    void SetVolume(std::int32_t volume) override
    {
        volume_ = volume;
        PulseConnection& c = PulseConnection::Instance();
        PulseConnection::Lock lock(c);
        ApplyVolume();
    }

private:
    static void Fire(pa_operation* op)
    {
        if (op != nullptr)
            pa_operation_unref(op); // never waited for
    }

    bool StreamAlive() const
    {
        if (stream_ == nullptr)
            return false;
        const pa_stream_state_t s = pa_stream_get_state(stream_);
        return s == PA_STREAM_READY || s == PA_STREAM_CREATING;
    }

    // Lock held.
    bool Connect(const pa_sample_spec& spec)
    {
        PulseConnection& c = PulseConnection::Instance();
        if (c.Context() == nullptr || pa_context_get_state(c.Context()) != PA_CONTEXT_READY)
            return false;
        stream_ = pa_stream_new(c.Context(), "Recording", &spec, nullptr);
        if (stream_ == nullptr)
            return false;
        spec_ = spec;
        pa_stream_set_write_callback(stream_, &PulsePlayer::OnWrite, this);
        pa_stream_set_state_callback(stream_, &PulsePlayer::OnState, this);
        // About 100 ms of buffered sound: a seek is heard soon after.
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(100000, &spec));
        attr.prebuf = static_cast<std::uint32_t>(-1);
        attr.minreq = static_cast<std::uint32_t>(-1);
        attr.fragsize = static_cast<std::uint32_t>(-1);
        const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY);
        if (pa_stream_connect_playback(stream_, nullptr, &attr, flags, nullptr, nullptr) < 0) {
            DropStream();
            return false;
        }
        return true;
    }

    // Lock held.
    void DropStream()
    {
        playing_ = false;
        if (stream_ == nullptr)
            return;
        pa_stream_set_write_callback(stream_, nullptr, nullptr);
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }

    // Lock held.
    void ApplyVolume()
    {
        pa_context* context = PulseConnection::Instance().Context();
        if (context == nullptr || stream_ == nullptr || pa_stream_get_state(stream_) != PA_STREAM_READY)
            return;
        pa_cvolume cv;
        const pa_volume_t v = volume_ <= -10000 ? PA_VOLUME_MUTED : pa_sw_volume_from_dB(volume_ / 100.0);
        pa_cvolume_set(&cv, spec_.channels, v);
        Fire(pa_context_set_sink_input_volume(context, pa_stream_get_index(stream_), &cv, nullptr, nullptr));
    }

    static void OnState(pa_stream* s, void* self)
    {
        auto* p = static_cast<PulsePlayer*>(self);
        if (pa_stream_get_state(s) != PA_STREAM_READY)
            return;
        if (p->volume_ != 0)
            p->ApplyVolume();
        if (!p->playing_)
            return;
        Fire(pa_stream_cork(s, 0, nullptr, nullptr));
        p->Feed(s, pa_stream_writable_size(s));
    }

    // The loop's thread, lock held: the server wants `bytes` more.
    static void OnWrite(pa_stream* s, std::size_t bytes, void* self)
    {
        static_cast<PulsePlayer*>(self)->Feed(s, bytes);
    }

    // Lock held: up to `bytes` of sound from the reader.
    void Feed(pa_stream* s, std::size_t bytes)
    {
        if (!playing_ || !reader_ || bytes == 0 || bytes == static_cast<std::size_t>(-1))
            return;
        void* buffer = nullptr;
        if (pa_stream_begin_write(s, &buffer, &bytes) < 0 || buffer == nullptr)
            return;
        const std::size_t got = reader_->Read(static_cast<std::uint8_t*>(buffer), bytes);
        if (got == 0) {
            pa_stream_cancel_write(s); // the end of the sound: let it run dry
            return;
        }
        pa_stream_write(s, buffer, got, nullptr, 0, PA_SEEK_RELATIVE);
    }

    pa_stream* stream_ = nullptr;
    pa_sample_spec spec_{};
    std::unique_ptr<media::AudioReader> reader_;
    std::string path_;
    int number_ = -1;
    bool playing_ = false;
    media::REFERENCE_TIME startPosition_ = 0;
    Clock::time_point startedAt_{};
    std::int32_t volume_ = 0;
};

} // namespace

std::unique_ptr<media::SoundPlayer> PulseSoundOutput::CreatePlayer() { return std::make_unique<PulsePlayer>(); }

} // namespace pulse
