#!/usr/bin/env bash
# Makes the two small sample images of the README: a GIF whose comment is
# Shift-JIS text (as older Japanese tools wrote it) and a JPEG whose comment
# is UTF-8. Needs ImageMagick and iconv.
set -euo pipefail
cd "$(dirname "$0")"
gif_comment="$(printf '夕暮れの海辺で撮影。\r\n撮影者：山田花子\r\n2000年8月28日' | iconv -f UTF-8 -t CP932)"
jpeg_comment="$(printf '桜の花（京都・円山公園）\r\nカメラ：コンパクト機\r\n2024年4月3日撮影')"
convert -size 48x32 gradient:'#ff9933-#336699' -colors 16 -strip -set comment "$gif_comment" sunset.gif
convert -size 48x32 radial-gradient:'#ffe0ee-#cc6688' -quality 80 -strip -set comment "$jpeg_comment" sakura.jpg
ls -l sunset.gif sakura.jpg
