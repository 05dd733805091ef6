#include "IconPicture.h"

#include "EffectPictures.h"
#include "FacePictures.h"

Raster paintIcon() {
    const int size = 256;
    Raster icon(size, size);
    const Shape tile = Shape::box(8.0f, 8.0f, 248.0f, 248.0f, 44.0f);
    icon.fill(tile, radialGradient(128.0f, 110.0f, 170.0f, rgb(0xc8323a), rgb(0x2a070c)));
    // A spotlight from above, as on the stage behind the crowd.
    icon.fill(Shape::ellipse(128.0f, 150.0f, 90.0f, 110.0f),
              radialGradient(128.0f, 150.0f, 110.0f, rgb(0xffe0a0, 0.35f), rgb(0xffe0a0, 0.0f)),
              Blend::Atop);

    // The flame sits on the head as it does on a burning person, doubled in size.
    Raster figure(128, 128);
    figure.composite(paintFace(3, 0).downsampled(2), 32, 56);
    figure.composite(paintFire(2).downsampled(2), 48, 8);
    icon.compositeScaled(figure, 2.0f, 1.0f, Blend::Atop);
    // A thin gold rim, like the frame of the option card.
    icon.fill(tile.without(tile.grown(-5.0f)), rgb(0xd9a441));
    return icon;
}
