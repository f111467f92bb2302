#include "fakes/Fakes.h"

#include <algorithm>
#include <cstring>

HRESULT FakeKeyboard::GetDeviceState(uint32_t size, void* data)
{
    if (!Acquired)
        return DDERR_GENERIC; // not acquired: the caller keeps its zeroed state
    std::memcpy(data, State, std::min<uint32_t>(size, 256));
    return DD_OK;
}

HRESULT FakeMouse::GetDeviceState(uint32_t size, void* data)
{
    uint8_t s[20] = {};
    std::memcpy(s + 0, &DX, 4);
    std::memcpy(s + 4, &DY, 4);
    std::memcpy(s + 8, &DZ, 4);
    std::memcpy(s + 12, Buttons, 4);
    std::memcpy(data, s, std::min<uint32_t>(size, 20));
    DX = DY = DZ = 0;
    return DD_OK;
}

void FakeDisplay::Present(const TSurface& frame, const TRect& srcRect)
{
    ++Presents;
    LastFrame.assign(static_cast<size_t>(srcRect.Width()) * srcRect.Height(), 0);
    for (int32_t y = 0; y < srcRect.Height(); ++y)
        for (int32_t x = 0; x < srcRect.Width(); ++x)
            LastFrame[static_cast<size_t>(y) * srcRect.Width() + x] = frame.GetPixel(srcRect.Left + x, srcRect.Top + y);
}

int FakeMixer::CreateBuffer(const uint8_t*, size_t size)
{
    if (!Open)
        return -1;
    Buffer b;
    b.WaveSize = size;
    Buffers.push_back(b);
    return static_cast<int>(Buffers.size()) - 1;
}

int FakeMixer::DuplicateBuffer(int buffer)
{
    if (!Open || buffer < 0 || buffer >= static_cast<int>(Buffers.size()))
        return -1;
    Buffer b;
    b.Source = buffer;
    b.WaveSize = Buffers[buffer].WaveSize;
    Buffers.push_back(b);
    return static_cast<int>(Buffers.size()) - 1;
}

bool FakeMixer::IsPlaying(int buffer)
{
    return buffer >= 0 && buffer < static_cast<int>(Buffers.size()) && Buffers[buffer].Playing;
}

HRESULT FakeMixer::Stop(int buffer)
{
    if (buffer < 0 || buffer >= static_cast<int>(Buffers.size()))
        return DDERR_INVALIDPARAMS;
    Buffers[buffer].Playing = false;
    return DD_OK;
}

HRESULT FakeMixer::SetPan(int buffer, int32_t pan)
{
    if (buffer < 0 || buffer >= static_cast<int>(Buffers.size()) || pan < -10000 || pan > 10000)
        return DDERR_INVALIDPARAMS;
    Buffers[buffer].Pan = pan;
    return DD_OK;
}

HRESULT FakeMixer::SetVolume(int buffer, int32_t volume)
{
    if (buffer < 0 || buffer >= static_cast<int>(Buffers.size()) || volume < -10000 || volume > 0)
        return DDERR_INVALIDPARAMS;
    Buffers[buffer].Volume = volume;
    return DD_OK;
}

HRESULT FakeMixer::Play(int buffer)
{
    if (buffer < 0 || buffer >= static_cast<int>(Buffers.size()))
        return DDERR_INVALIDPARAMS;
    Buffers[buffer].Playing = true;
    ++Buffers[buffer].Plays;
    PlayLog.push_back(buffer);
    return DD_OK;
}

uintptr_t FakeModulePlayer::SongLoadFromFile(const char* path)
{
    Loaded.emplace_back(path);
    Log.push_back(std::string("load ") + path);
    if (FailLoads)
        return 0;
    return NextHandle++;
}

bool FakeHttp::Get(const std::string& url, std::string& body)
{
    Requests.push_back(url);
    if (Answers.empty())
        return false;
    auto a = Answers.front();
    Answers.pop_front();
    if (!a.first)
        return false;
    body = a.second;
    return true;
}

void FakeTextRenderer::DrawText(TSurface& target, int32_t x, int32_t y, const std::string& text,
                                const TFontSpec& font, uint32_t rgb, uint32_t align)
{
    Calls.push_back({x, y, text, font, rgb, align});
    if (!DrawBlocks)
        return;
    const int32_t w = MeasureText(text, font);
    int32_t left = (align & TA_RIGHT) ? x - w : x;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ')
            continue;
        const int32_t cx = left + static_cast<int32_t>(i) * font.Width;
        for (int32_t yy = y; yy < y + font.Height; ++yy)
            for (int32_t xx = cx; xx < cx + font.Width - 1; ++xx)
                if (xx >= 0 && yy >= 0 && xx < target.Width() && yy < target.Height())
                    target.SetPixel(xx, yy, rgb);
    }
}

int32_t FakeTextRenderer::MeasureText(const std::string& text, const TFontSpec& font)
{
    return static_cast<int32_t>(text.size()) * font.Width;
}

FakePlatform::FakePlatform()
{
    Saved = Platform;
    Platform.Clock = &Clock;
    Platform.Keyboard = &Keyboard;
    Platform.Mouse = &Mouse;
    Platform.Display = &Display;
    Platform.Mixer = &Mixer;
    Platform.Music = &Music;
    Platform.Http = &Http;
    Platform.Opener = &Opener;
    Platform.Text = &Text;
    Platform.Gamepad = &Gamepad;
}

FakePlatform::~FakePlatform()
{
    Platform = Saved;
}
