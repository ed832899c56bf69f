#include "platform/vcl/Picture.h"

#include "platform/vcl/Bitmap.h"

namespace vcl {

TPicture& TPicture::operator=(const TPicture& other)
{
    if (this != &other)
        Assign(other.Graphic());
    return *this;
}

void TPicture::Assign(const TGraphic* graphic)
{
    FGraphic = graphic ? graphic->Clone() : nullptr;
    if (OnChange)
        OnChange();
}

TBitmap* TPicture::Bitmap()
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(FGraphic.get()))
        return bitmap;
    auto bitmap = std::make_unique<TBitmap>();
    if (FGraphic) {
        bitmap->SetSize(FGraphic->Width(), FGraphic->Height());
        FGraphic->Draw(*bitmap->Canvas(), TRect(0, 0, bitmap->Width(), bitmap->Height()));
    }
    FGraphic = std::move(bitmap);
    if (OnChange)
        OnChange();
    return static_cast<TBitmap*>(FGraphic.get());
}

int TPicture::Width() const { return FGraphic ? FGraphic->Width() : 0; }
int TPicture::Height() const { return FGraphic ? FGraphic->Height() : 0; }

} // namespace vcl
