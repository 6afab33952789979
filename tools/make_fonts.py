#!/usr/bin/python3
"""Builds the phonetic fonts "Lautbild Serif" and "Lautbild Sans Serif".

Sprelio keeps every phonetic symbol as one byte and draws byte b with the
character U+F000 + b. These fonts put an IPA glyph at each of those codes,
taken from free fonts that Debian ships: Charis SIL (fonts-sil-charis) for
the serif face and DejaVu Sans (fonts-dejavu-core) for the sans-serif face.

The finished fonts and their licence texts are checked in under data/fonts,
so building Sprelio needs no Python; run this only to change the fonts:

    /usr/bin/python3 tools/make_fonts.py [--out data/fonts]

Layout rules that the program relies on:
  * Only a Windows symbol cmap (platform 3, encoding 0) at U+F020..U+F0FF.
    A Unicode cmap for the low codes would make fontconfig believe the fonts
    cover Latin text, and they would be picked as fallback fonts.
  * Diacritics have zero advance and are drawn over the base typed before
    them, so that "base byte, mark byte" looks right without any mark
    positioning by the text engine. Each mark exists in placements for the
    base classes that the composition rules pick from: an ordinary base (the
    width of n), a narrow base (the width of dotless i), a base with an
    ascender (tone marks raised) and a base with a descender (the voiceless
    ring moves above). A mark above that has no raised variant is drawn at
    the raised height, so that it clears an ascender wherever it lands.
  * Text engines that position marks (HarfBuzz: Qt, office suites,
    browsers) get GDEF glyph classes and GPOS mark-to-base and mark-to-mark
    anchors, which bring each mark to the ink of its own base: close above a
    short letter, clear of a tall one, below a descender, and stacked when a
    base carries two marks. The anchors keep the horizontal place of the
    static drawing, so both kinds of engine centre a mark alike.
"""

import argparse
import os
import sys
import unicodedata
from dataclasses import dataclass

from fontTools.feaLib.builder import addOpenTypeFeaturesFromString
from fontTools.fontBuilder import FontBuilder
from fontTools.otlLib.maxContextCalc import maxCtxFont
from fontTools.pens.boundsPen import BoundsPen
from fontTools.pens.recordingPen import DecomposingRecordingPen
from fontTools.pens.roundingPen import RoundingPen
from fontTools.pens.transformPen import TransformPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont, newTable
from fontTools.ttLib.tables._c_m_a_p import cmap_format_4

FONT_VERSION = "1.001"
SYMBOL_BASE = 0xF000


# ---------------------------------------------------------------------------
# What each code shows.
# ---------------------------------------------------------------------------

@dataclass(frozen=True)
class Letter:
    """A spacing glyph copied from the source font."""
    cp: int


@dataclass(frozen=True)
class Named:
    """A spacing glyph that the source font has without a code point of its
    own (its dotless forms); the first name the font has wins, else `cp`."""
    names: tuple
    cp: int


@dataclass(frozen=True)
class Mark:
    """A zero-width diacritic drawn over the glyph before it.

    over: 'n' centres it over an ordinary lowercase base, 'narrow' over a
    base as narrow as dotless i. raised lifts it by the ascender height: the
    tall variants of the tone marks, and the marks above without a tall
    variant, which may land on a tall base. place: 'above', 'below' or
    'through' (drawn across the base)."""
    cp: int
    place: str
    over: str = "n"
    raised: bool = False


@dataclass(frozen=True)
class Join:
    """A zero-width mark typed between two bases and spanning the joint:
    the tie bar above, the linking undertie below at baseline or descender
    depth."""
    cp: int
    level: str  # 'tie', 'under' or 'deep'


@dataclass(frozen=True)
class Tied:
    """Two letters joined by a tie bar into one spacing glyph."""
    first: int
    second: int


@dataclass(frozen=True)
class Blank:
    """A space whose advance is `fraction` of the source font's space."""
    fraction: float


@dataclass(frozen=True)
class Corner:
    """A combining mark turned into a small spacing sign at x-height, for a
    diacritic that is typed after its base but written beside it."""
    cp: int


# Every code from 32 to 255. The comment names the symbol; codes without a
# description of their own are variants that the composition produces.
GLYPHS = {
    # Spaces
    32: Blank(1.0),                    # Space
    152: Blank(0.5),                   # Half Space, as shown on its button
    189: Blank(0.5),                   # half space that the composition inserts

    # Vowels
    97: Letter(0x0061),   # a  Open Front Vowel
    198: Letter(0x0276),  # ɶ  Rounded Open Front Vowel
    65: Letter(0x0251),   # ɑ  Open Back Vowel
    194: Letter(0x0252),  # ɒ  Rounded Open Back Vowel
    195: Letter(0x00E6),  # æ  Open - Open-Mid Front Vowel
    196: Letter(0x0250),  # ɐ  Open - Open-Mid Central Vowel
    228: Letter(0x025B),  # ɛ  Open-Mid Front Vowel
    214: Letter(0x0153),  # œ  Rounded Open-Mid Front Vowel
    227: Letter(0x025C),  # ɜ  Open-Mid Central Vowel
    226: Letter(0x025E),  # ɞ  Rounded Open-Mid Central Vowel
    243: Letter(0x028C),  # ʌ  Open-Mid Back Vowel
    79: Letter(0x0254),   # ɔ  Rounded Open-Mid Back Vowel
    69: Letter(0x0259),   # ə  Open-Mid - Close-Mid Central Vowel
    101: Letter(0x0065),  # e  Close-Mid Front Vowel
    246: Letter(0x00F8),  # ø  Rounded Close-Mid Front Vowel
    244: Letter(0x0258),  # ɘ  Close-Mid Central Vowel
    242: Letter(0x0275),  # ɵ  Rounded Close-Mid Central Vowel
    81: Letter(0x0264),   # ɤ  Close-Mid Back Vowel
    111: Letter(0x006F),  # o  Rounded Close-Mid Back Vowel
    73: Letter(0x026A),   # ɪ  Close-Mid - Close Front - Central Vowel
    89: Letter(0x028F),   # ʏ  Rounded Close-Mid - Close Front - Central Vowel
    85: Letter(0x028A),   # ʊ  Close-Mid - Close Central - Back Vowel
    105: Letter(0x0069),  # i  Close Front Vowel
    121: Letter(0x0079),  # y  Rounded Close Front Vowel
    237: Letter(0x0268),  # ɨ  Close Central Vowel
    250: Letter(0x0289),  # ʉ  Rounded Close Central Vowel
    249: Letter(0x026F),  # ɯ  Close Back Vowel
    117: Letter(0x0075),  # u  Rounded Close Back Vowel

    # Plosives
    112: Letter(0x0070),  # p  Voiceless Bilabial Plosive
    98: Letter(0x0062),   # b  Voiced Bilabial Plosive
    116: Letter(0x0074),  # t  Voiceless Alveolar Plosive
    100: Letter(0x0064),  # d  Voiced Alveolar Plosive
    208: Letter(0x0288),  # ʈ  Voiceless Retroflex Plosive
    68: Letter(0x0256),   # ɖ  Voiced Retroflex Plosive
    120: Letter(0x0063),  # c  Voiceless Palatal Plosive
    70: Letter(0x025F),   # ɟ  Voiced Palatal Plosive
    107: Letter(0x006B),  # k  Voiceless Velar Plosive
    103: Letter(0x0261),  # ɡ  Voiced Velar Plosive (script g)
    113: Letter(0x0071),  # q  Voiceless Uvular Plosive
    132: Letter(0x0262),  # ɢ  Voiced Uvular Plosive
    255: Letter(0x0294),  # ʔ  Glottal Plosive

    # Nasals
    109: Letter(0x006D),  # m  Bilabial Nasal
    77: Letter(0x0271),   # ɱ  Labiodental Nasal
    110: Letter(0x006E),  # n  Alveolar Nasal
    199: Letter(0x0273),  # ɳ  Retroflex Nasal
    241: Letter(0x0272),  # ɲ  Palatal Nasal
    78: Letter(0x014B),   # ŋ  Velar Nasal
    131: Letter(0x0274),  # ɴ  Uvular Nasal

    # Trills, taps and flaps
    66: Letter(0x0299),   # ʙ  Bilabial Trill
    114: Letter(0x0072),  # r  Alveolar Trill
    82: Letter(0x0280),   # ʀ  Uvular Trill
    151: Letter(0x027E),  # ɾ  Alveolar Tap or Flap
    169: Letter(0x027D),  # ɽ  Retroflex Tap or Flap

    # Fricatives
    245: Letter(0x0278),  # ɸ  Voiceless Bilabial Fricative
    222: Letter(0x03B2),  # β  Voiced Bilabial Fricative
    102: Letter(0x0066),  # f  Voiceless Labiodental Fricative
    118: Letter(0x0076),  # v  Voiced Labiodental Fricative
    223: Letter(0x03B8),  # θ  Voiceless Dental Fricative
    240: Letter(0x00F0),  # ð  Voiced Dental Fricative
    115: Letter(0x0073),  # s  Voiceless Alveolar Fricative
    122: Letter(0x007A),  # z  Voiced Alveolar Fricative
    83: Letter(0x0283),   # ʃ  Voiceless Postalveolar Fricative
    71: Letter(0x0292),   # ʒ  Voiced Postalveolar Fricative
    153: Letter(0x00E7),  # ç  Voiceless Palatal Fricative
    154: Letter(0x029D),  # ʝ  Voiced Palatal Fricative
    99: Letter(0x0282),   # ʂ  Voiceless Retroflex Fricative
    74: Letter(0x0290),   # ʐ  Voiced Retroflex Fricative
    67: Letter(0x0078),   # x  Voiceless Velar Fricative
    88: Letter(0x0263),   # ɣ  Voiced Velar Fricative
    75: Letter(0x03C7),   # χ  Voiceless Uvular Fricative
    134: Letter(0x0281),  # ʁ  Voiced Uvular Fricative
    155: Letter(0x0127),  # ħ  Voiceless Pharyngeal Fricative
    254: Letter(0x0295),  # ʕ  Voiced Pharyngeal Fricative
    104: Letter(0x0068),  # h  Voiceless Glottal Fricative
    247: Letter(0x0266),  # ɦ  Voiced Glottal Fricative
    209: Letter(0x026C),  # ɬ  Voiceless Alveolar Lateral Fricative
    170: Letter(0x026E),  # ɮ  Voiced Alveolar Lateral Fricative

    # Approximants
    86: Letter(0x028B),   # ʋ  Labiodental Approximant
    149: Letter(0x0279),  # ɹ  Alveolar Approximant
    150: Letter(0x027B),  # ɻ  Retroflex Approximant
    106: Letter(0x006A),  # j  Palatal Approximant
    251: Letter(0x0270),  # ɰ  Velar Approximant
    108: Letter(0x006C),  # l  Alveolar Lateral Approximant
    168: Letter(0x026D),  # ɭ  Retroflex Lateral Approximant
    248: Letter(0x028E),  # ʎ  Palatal Lateral Approximant
    76: Letter(0x029F),   # ʟ  Velar Lateral Approximant

    # Implosives
    201: Letter(0x0253),  # ɓ  Bilabial Voiced Implosive
    202: Letter(0x0257),  # ɗ  Dental/Alveolar Voiced Implosive
    203: Letter(0x0284),  # ʄ  Palatal Voiced Implosive
    204: Letter(0x0260),  # ɠ  Velar Voiced Implosive
    205: Letter(0x029B),  # ʛ  Uvular Voiced Implosive

    # Other consonant symbols
    87: Letter(0x028D),   # ʍ  Voiceless Labial-Velar Fricative
    119: Letter(0x0077),  # w  Voiced Labial-Velar Approximant
    72: Letter(0x0265),   # ɥ  Voiced Labial-Palatal Approximant
    133: Letter(0x029C),  # ʜ  Voiceless Epiglottal Fricative
    252: Letter(0x02A2),  # ʢ  Voiced Epiglottal Fricative
    253: Letter(0x02A1),  # ʡ  Epiglottal Plosive
    225: Letter(0x0255),  # ɕ  Voiceless Alveolo-Palatal Fricative
    224: Letter(0x0291),  # ʑ  Voiced Alveolo-Palatal Fricative
    200: Letter(0x027A),  # ɺ  Alveolar Lateral Flap
    148: Letter(0x0267),  # ɧ  Simultaneous ʃ and x

    # Clicks
    211: Letter(0x0298),  # ʘ  Bilabial Click
    124: Letter(0x01C0),  # ǀ  Dental Click
    33: Letter(0x01C3),   # ǃ  (Post)alveolar Click
    167: Letter(0x01C2),  # ǂ  Palatoalveolar Click
    166: Letter(0x01C1),  # ǁ  Alveolar Lateral Click

    # Base variants: the dotless forms that take a mark above
    238: Named(("dotlessi",), 0x0131),                      # ı  for i (105)
    206: Named(("uni0237", "dotlessj"), 0x0237),            # ȷ  for j (106)
    239: Named(("uni0268.Dotless", "uni0268.dotless"), 0x0268),  # ɨ without dot, for 237
    207: Letter(0x0290),  # ʐ  for 74; it has no dot, so the shape stays

    # Suprasegmentals
    96: Letter(0x02C8),   # ˈ  Primary Stress
    180: Letter(0x02CC),  # ˌ  Secondary Stress
    58: Letter(0x02D0),   # ː  Long
    59: Letter(0x02D1),   # ˑ  Half Long
    46: Letter(0x002E),   # .  Syllable Break
    135: Letter(0x007C),  # |  Minor (Foot) Group
    130: Letter(0x2016),  # ‖  Major (Intonation) Group
    35: Join(0x035C, "under"),  # ‿  Linking (Absence of a Break)
    34: Join(0x035C, "deep"),   # ‿  linking below descenders
    212: Join(0x0361, "tie"),   # ͡  Affricates and Double Articulations
    48: Mark(0x0306, "above", "n", True),      # ̆  Extra Short
    156: Mark(0x0306, "above", "narrow", True),

    # Diacritics below, with their narrow variants
    36: Mark(0x0325, "below"),            # ̥  Voiceless
    182: Mark(0x0325, "below", "narrow"),
    183: Mark(0x030A, "above", "n", True),     # ̊  voiceless, on a base with a descender
    184: Mark(0x030A, "above", "narrow", True),
    54: Mark(0x032C, "below"),            # ̬  Voiced
    171: Mark(0x032C, "below", "narrow"),
    43: Mark(0x0339, "below"),            # ̹  More Rounded
    234: Mark(0x0339, "below", "narrow"),
    42: Mark(0x031C, "below"),            # ̜  Less Rounded
    233: Mark(0x031C, "below", "narrow"),
    64: Mark(0x031F, "below"),            # ̟  Advanced
    164: Mark(0x031F, "below", "narrow"),
    53: Mark(0x0320, "below"),            # ̠  Retracted
    173: Mark(0x0320, "below", "narrow"),
    52: Mark(0x0329, "below"),            # ̩  Syllabic
    172: Mark(0x0329, "below", "narrow"),
    49: Mark(0x032F, "below"),            # ̯  Non-Syllabic
    157: Mark(0x032F, "below", "narrow"),
    50: Mark(0x0324, "below"),            # ̤  Breathy Voiced
    165: Mark(0x0324, "below", "narrow"),
    125: Mark(0x0330, "below"),           # ̰  Creaky Voiced
    159: Mark(0x0330, "below", "narrow"),
    37: Mark(0x033C, "below"),            # ̼  Linguolabial
    185: Mark(0x033C, "below", "narrow"),
    63: Mark(0x031D, "below"),            # ̝  Raised
    163: Mark(0x031D, "below", "narrow"),
    60: Mark(0x031E, "below"),            # ̞  Lowered
    160: Mark(0x031E, "below", "narrow"),
    61: Mark(0x0318, "below"),            # ̘  Advanced Tongue Root
    161: Mark(0x0318, "below", "narrow"),
    62: Mark(0x0319, "below"),            # ̙  Retracted Tongue Root
    162: Mark(0x0319, "below", "narrow"),
    56: Mark(0x032A, "below"),            # ̪  Dental
    235: Mark(0x032A, "below", "narrow"),
    55: Mark(0x033A, "below"),            # ̺  Apical
    191: Mark(0x033A, "below", "narrow"),
    57: Mark(0x033B, "below"),            # ̻  Laminal
    236: Mark(0x033B, "below", "narrow"),

    # Diacritics above, with their narrow variants. There is no tall variant
    # for them, so they are drawn at the height of the tall tone marks.
    51: Mark(0x0308, "above", "n", True),      # ̈  Centralized
    190: Mark(0x0308, "above", "narrow", True),
    38: Mark(0x033D, "above", "n", True),      # ̽  mid-centralized, on an ordinary base
    174: Mark(0x033D, "above", "narrow", True),  # ̽  Mid-Centralized (the narrow placement)
    123: Mark(0x0303, "above", "n", True),     # ̃  Nasal
    158: Mark(0x0303, "above", "narrow", True),
    # Drawn through the base; centred for l, since ɫ is its chief use.
    126: Mark(0x0334, "through", "narrow"),  # ̴  Velarized or Pharyngealized

    # Spacing diacritics
    221: Letter(0x02B0),  # ʰ  Aspirated
    213: Letter(0x02DE),  # ˞  Rhoticity
    215: Letter(0x02B7),  # ʷ  Labialized
    216: Letter(0x02B2),  # ʲ  Palatalized
    217: Letter(0x02E0),  # ˠ  Velarized
    218: Letter(0x02E4),  # ˤ  Pharyngealized
    219: Letter(0x207F),  # ⁿ  Nasal Release
    220: Letter(0x02E1),  # ˡ  Lateral Release
    197: Corner(0x031A),  # ̚  No Audible Release
    39: Letter(0x02BC),   # ʼ  Ejective

    # Tones: ordinary, narrow, tall, narrow and tall
    40: Mark(0x030B, "above"),            # ̋  Extra High
    136: Mark(0x030B, "above", "narrow"),
    137: Mark(0x030B, "above", "n", True),
    138: Mark(0x030B, "above", "narrow", True),
    127: Mark(0x0301, "above"),           # ́  High
    142: Mark(0x0301, "above", "narrow"),
    143: Mark(0x0301, "above", "n", True),
    144: Mark(0x0301, "above", "narrow", True),
    129: Mark(0x0304, "above"),           # ̄  Mid
    186: Mark(0x0304, "above", "narrow"),
    187: Mark(0x0304, "above", "n", True),
    188: Mark(0x0304, "above", "narrow", True),
    128: Mark(0x0300, "above"),           # ̀  Low
    145: Mark(0x0300, "above", "narrow"),
    146: Mark(0x0300, "above", "n", True),
    147: Mark(0x0300, "above", "narrow", True),
    41: Mark(0x030F, "above"),            # ̏  Extra Low
    139: Mark(0x030F, "above", "narrow"),
    140: Mark(0x030F, "above", "n", True),
    141: Mark(0x030F, "above", "narrow", True),
    94: Mark(0x030C, "above"),            # ̌  Rising
    175: Mark(0x030C, "above", "narrow"),
    176: Mark(0x030C, "above", "n", True),
    177: Mark(0x030C, "above", "narrow", True),
    95: Mark(0x0302, "above"),            # ̂  Falling
    178: Mark(0x0302, "above", "narrow"),
    179: Mark(0x0302, "above", "n", True),
    181: Mark(0x0302, "above", "narrow", True),
    230: Letter(0xA71C),  # ꜜ  Downstep
    229: Letter(0xA71B),  # ꜛ  Upstep
    231: Letter(0x2197),  # ↗  Global Rise
    232: Letter(0x2198),  # ↘  Global Fall

    # Diphthongs and affricates that the default palette offers
    192: Tied(0x0061, 0x026A),  # a͡ɪ
    193: Tied(0x0061, 0x028A),  # a͡ʊ
    210: Tied(0x0254, 0x028F),  # ɔ͡ʏ
    80: Tied(0x0070, 0x0066),   # p͡f
    90: Tied(0x0074, 0x0073),   # t͡s
    84: Tied(0x0074, 0x0283),   # t͡ʃ

    # Punctuation
    44: Letter(0x002C),   # ,  (described as "Colon")
    45: Letter(0x002D),   # -  Hyphen
    47: Letter(0x002F),   # /  bracket button
    91: Letter(0x005B),   # [  bracket button
    92: Letter(0x005C),   # \  bracket button
    93: Letter(0x005D),   # ]  bracket button
}


# Bases on which the composition picks the narrow variant of a mark.
NARROW_BASES = {33, 73, 74, 102, 105, 106, 108, 116, 168, 206, 207, 208, 209, 237, 238, 239}


def is_mark_base(code):
    """Letters, which a diacritic can follow; not the modifier letters."""
    entry = GLYPHS[code]
    return (isinstance(entry, (Letter, Named))
            and unicodedata.category(chr(entry.cp)) in ("Ll", "Lu", "Lo"))


# ---------------------------------------------------------------------------
# Sources and names.
# ---------------------------------------------------------------------------

@dataclass
class Face:
    family: str
    ps_name: str
    file_name: str
    source: str
    source_label: str


FACES = [
    Face("Lautbild Serif", "LautbildSerif-Regular", "LautbildSerif.ttf",
         "/usr/share/fonts/truetype/charis/CharisSIL-Regular.ttf",
         "Charis SIL"),
    Face("Lautbild Sans Serif", "LautbildSansSerif-Regular", "LautbildSansSerif.ttf",
         "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
         "DejaVu Sans"),
]


# ---------------------------------------------------------------------------
# Geometry.
# ---------------------------------------------------------------------------

class Source:
    """The source font with the measurements that place the marks."""

    def __init__(self, path):
        self.font = TTFont(path)
        self.glyphs = self.font.getGlyphSet()
        self.cmap = self.font.getBestCmap()
        self.upem = self.font["head"].unitsPerEm
        n = self.bounds_of(ord("n"))
        dotless_i = self.bounds_of(0x0131)
        ell = self.bounds_of(ord("l"))
        self.x_top = n[3]
        self.ascender_top = ell[3]
        self.descender_bottom = self.bounds_of(ord("p"))[1]
        # Centres of the two reference bases, measured from the pen position
        # after them: that is where a zero-width mark starts.
        self.centre_n = (n[0] + n[2]) / 2 - self.advance_of(ord("n"))
        self.centre_narrow = (dotless_i[0] + dotless_i[2]) / 2 - self.advance_of(0x0131)
        # The source marks are drawn for some base of the designer's choice;
        # the ring above is symmetric, so its centre tells where that is.
        ring = self.bounds_of(0x030A)
        self.mark_design_centre = (ring[0] + ring[2]) / 2
        self.gap_above = round(0.05 * self.upem)
        self.gap_below = round(0.03 * self.upem)

    def name_of(self, cp):
        try:
            return self.cmap[cp]
        except KeyError:
            sys.exit(f"{self.font.reader.file.name}: no glyph for U+{cp:04X}")

    def recording(self, name):
        """The outline of a glyph without its lone points: DejaVu keeps
        attachment points in its marks as contours of one point, which draw
        nothing but would count in the bounds that place the mark."""
        pen = DecomposingRecordingPen(self.glyphs)
        self.glyphs[name].draw(pen)
        ink, contour = [], []
        for operator, operands in pen.value:
            contour.append((operator, operands))
            if operator in ("closePath", "endPath"):
                if any(op not in ("moveTo", "closePath", "endPath") for op, _ in contour):
                    ink += contour
                contour = []
        pen.value = ink + contour
        return pen

    def advance_of(self, cp):
        return self.glyphs[self.name_of(cp)].width

    def bounds_of(self, cp):
        return self.bounds_of_name(self.name_of(cp))

    def bounds_of_name(self, name):
        pen = BoundsPen(None)
        self.recording(name).replay(pen)
        return pen.bounds


class Outline:
    """A glyph under construction: pieces of source glyphs with transforms."""

    def __init__(self, source):
        self.source = source
        self.pieces = []
        self.advance = 0
        # For a mark: 'above' or 'below', and the point that meets its base's anchor.
        self.place = None
        self.anchor = None

    def add(self, name, dx=0, dy=0, sx=1.0):
        self.pieces.append((name, (sx, 0, 0, 1, dx, dy)))

    def bounds(self):
        pen = BoundsPen(None)
        for name, transform in self.pieces:
            self.source.recording(name).replay(TransformPen(pen, transform))
        return pen.bounds

    def glyph(self):
        pen = TTGlyphPen(None)
        for name, transform in self.pieces:
            self.source.recording(name).replay(TransformPen(RoundingPen(pen), transform))
        return pen.glyph()


def build_letter(src, entry):
    out = Outline(src)
    out.add(src.name_of(entry.cp))
    out.advance = src.advance_of(entry.cp)
    return out


def fit_marks(src, code, out):
    """Widens a letter whose middle lies too far from where its marks fall.

    Marks are placed for the width of n, or of dotless i on the bases that
    the composition treats as narrow. Letters that the encoding counts as
    ordinary but that are much narrower (r, ʃ, ǀ) or much wider (m, œ) than
    n would get their marks at an edge; extra side bearing moves the mark
    into the middle half of the letter, at some cost in spacing."""
    bounds = out.bounds()
    if bounds is None:
        return
    x0, _, x1, _ = bounds
    target = src.centre_narrow if code in NARROW_BASES else src.centre_n
    off = (x0 + x1) / 2 - out.advance - target
    limit = (x1 - x0) / 4
    if off > limit:
        out.advance += round(off - limit)
    elif off < -limit:
        shift = round(-off - limit)
        out.pieces = [(name, (sx, b, c, d, dx + shift, dy)) for name, (sx, b, c, d, dx, dy) in out.pieces]
        out.advance += shift


def build_named(src, entry):
    out = Outline(src)
    name = next((n for n in entry.names if n in src.glyphs), None) or src.name_of(entry.cp)
    out.add(name)
    out.advance = src.glyphs[name].width
    return out


def build_mark(src, entry):
    out = Outline(src)
    name = src.name_of(entry.cp)
    x0, y0, x1, y1 = src.bounds_of_name(name)
    target = src.centre_narrow if entry.over == "narrow" else src.centre_n
    # A mark drawn through the base has no attachment of its own to keep.
    design_centre = (x0 + x1) / 2 if entry.place == "through" else src.mark_design_centre
    dx = target - design_centre
    dy = 0
    # Without mark positioning by the text engine the mark must already keep
    # its distance from the base.
    if entry.place == "above":
        dy = max(0, src.x_top + src.gap_above - y0)
    elif entry.place == "below":
        dy = min(0, -src.gap_below - y1)
    # The mark keeps this distance from the point it stands on: the x-height,
    # or the ascender for a raised mark; the baseline for a mark below.
    reference = 0
    if entry.place == "above":
        reference = src.x_top
    if entry.raised:
        dy += src.ascender_top - src.x_top
        reference = src.ascender_top
    out.add(name, round(dx), round(dy))
    out.advance = 0
    if entry.place in ("above", "below"):
        out.place = entry.place
        out.anchor = (round(target), round(reference))
    return out


def build_join(src, entry):
    out = Outline(src)
    name = src.name_of(entry.cp)
    x0, y0, x1, y1 = src.bounds_of_name(name)
    dx = -(x0 + x1) / 2  # centred on the joint between the two bases
    if entry.level == "tie":
        dy = src.ascender_top + src.gap_above - y0
    elif entry.level == "under":
        dy = -2 * src.gap_below - y1
    else:  # deep: clear of the descenders on either side
        dy = src.descender_bottom - src.gap_below - y1
    out.add(name, round(dx), round(dy))
    out.advance = 0
    return out


def build_tied(src, entry):
    out = Outline(src)
    first, second = src.name_of(entry.first), src.name_of(entry.second)
    a0, ay0, a1, ay1 = src.bounds_of_name(first)
    b0, by0, b1, by1 = src.bounds_of_name(second)
    advance_first = src.advance_of(entry.first)
    out.add(first)
    out.add(second, advance_first)
    out.advance = advance_first + src.advance_of(entry.second)

    # The tie runs from the middle of one letter to the middle of the other,
    # as the zero-width tie does between two letters of the width of n.
    tie = src.name_of(0x0361)
    t0, ty0, t1, ty1 = src.bounds_of_name(tie)
    centre_first = (a0 + a1) / 2
    centre_second = advance_first + (b0 + b1) / 2
    span = centre_second - centre_first
    scale = span / src.advance_of(ord("n"))
    dx = (centre_first + centre_second) / 2 - scale * (t0 + t1) / 2
    dy = max(ay1, by1) + src.gap_above - ty0
    out.add(tie, round(dx), round(dy), scale)
    return out


def build_corner(src, entry):
    out = Outline(src)
    name = src.name_of(entry.cp)
    x0, y0, x1, y1 = src.bounds_of_name(name)
    side = round(0.04 * src.upem)
    out.add(name, round(side - x0), round(src.x_top - y0))
    out.advance = round(x1 - x0) + 2 * side
    return out


def build_blank(src, entry):
    out = Outline(src)
    out.advance = round(entry.fraction * src.glyphs[src.name_of(0x20)].width)
    return out


def base_anchors(src, code, outline):
    """Where the marks above and below a spacing glyph attach.

    Horizontally, where the static drawing centres its marks: the middle of n,
    or of dotless i on a narrow base, measured back from the advance. Above,
    the x-height for a letter that stays within it (round letters overshoot
    it a little), else the top of its ink; below, the baseline or the bottom
    of a descender."""
    centre = src.centre_narrow if code in NARROW_BASES else src.centre_n
    x = outline.advance + round(centre)
    top, bottom = src.x_top, 0
    bounds = outline.bounds()
    if bounds is not None:
        if bounds[3] > src.x_top + src.gap_above / 2:
            top = bounds[3]
        if bounds[1] < -src.gap_below / 2:
            bottom = bounds[1]
    return (x, round(top)), (x, round(bottom))


def is_zero_width(code):
    return isinstance(GLYPHS[code], (Mark, Join))


def attached_reach(src, outlines):
    """How far above and below the baseline one mark reaches when mark
    positioning puts it on the tallest or the deepest letter. A mark over a
    tied pair goes over its tie bar and may reach past the line."""
    anchors = [base_anchors(src, code, outlines[glyph_name(code)])
               for code in range(32, 256) if is_mark_base(code)]
    highest = max(above[1] for above, _ in anchors)
    lowest = min(below[1] for _, below in anchors)
    top, bottom = 0, 0
    for code in range(32, 256):
        out = outlines[glyph_name(code)]
        if out.place == "above":
            top = max(top, highest + out.bounds()[3] - out.anchor[1])
        elif out.place == "below":
            bottom = min(bottom, lowest + out.bounds()[1] - out.anchor[1])
    return top, bottom


def attachment_features(src, outlines):
    """OpenType feature code for the GDEF classes and the mark attachment.

    Without it the marks stay where their outlines are drawn: raised marks
    over a short letter float high, and marks below run into descenders. A
    second mark on the same base stacks on the first (mkmk), above and below
    separately."""
    marks = {code: outlines[glyph_name(code)] for code in range(32, 256) if is_zero_width(code)}
    bases = [code for code in range(32, 256) if code not in marks]
    attached = {place: [code for code, out in marks.items() if out.place == place]
                for place in ("above", "below")}

    def anchor(point):
        return f"<anchor {point[0]} {point[1]}>"

    def names(codes):
        return "[" + " ".join(glyph_name(code) for code in codes) + "]"

    lines = ["languagesystem DFLT dflt;", "languagesystem latn dflt;", ""]
    for place in ("above", "below"):
        lines.append(f"@{place.upper()} = {names(attached[place])};")
        for code in attached[place]:
            lines.append(f"markClass {glyph_name(code)} {anchor(marks[code].anchor)} @MARK_{place.upper()};")
    lines += ["", "feature mark {"]
    for place, index in (("above", 0), ("below", 1)):
        lines.append(f"    lookup mark_{place} {{")
        for code in bases:
            point = base_anchors(src, code, outlines[glyph_name(code)])[index]
            lines.append(f"        pos base {glyph_name(code)} {anchor(point)} mark @MARK_{place.upper()};")
        lines.append(f"    }} mark_{place};")
    lines += ["} mark;", "", "feature mkmk {"]
    for place in ("above", "below"):
        lines.append(f"    lookup mkmk_{place} {{")
        lines.append(f"        lookupflag UseMarkFilteringSet @{place.upper()};")
        for code in attached[place]:
            out = marks[code]
            x0, y0, x1, y1 = out.bounds()
            # The next mark keeps half the usual gap from this one's ink.
            if place == "above":
                y = round(y1 + src.gap_above / 2 - src.gap_above)
            else:
                y = round(y0 - src.gap_below / 2 + src.gap_below)
            lines.append(f"        pos mark {glyph_name(code)} {anchor((out.anchor[0], y))} mark @MARK_{place.upper()};")
        lines.append(f"    }} mkmk_{place};")
    lines += ["} mkmk;", "",
              "table GDEF {",
              f"    GlyphClassDef {names(bases)}, , {names(sorted(marks))}, ;",
              "} GDEF;", ""]
    return "\n".join(lines)


BUILDERS = {
    Letter: build_letter,
    Named: build_named,
    Mark: build_mark,
    Join: build_join,
    Tied: build_tied,
    Corner: build_corner,
    Blank: build_blank,
}


# ---------------------------------------------------------------------------
# Assembly.
# ---------------------------------------------------------------------------

def glyph_name(code):
    return f"code{code:03d}"


def build_face(face, out_dir):
    src = Source(face.source)
    order = [".notdef"] + [glyph_name(code) for code in range(32, 256)]

    outlines = {".notdef": Outline(src)}
    outlines[".notdef"].add(".notdef")
    outlines[".notdef"].advance = src.glyphs[".notdef"].width
    for code in range(32, 256):
        entry = GLYPHS[code]
        outline = BUILDERS[type(entry)](src, entry)
        if is_mark_base(code):
            fit_marks(src, code, outline)
        outlines[glyph_name(code)] = outline

    glyphs = {}
    metrics = {}
    top, bottom = 0, 0
    for name in order:
        outline = outlines[name]
        glyphs[name] = outline.glyph()
        bounds = outline.bounds()
        lsb = 0
        if bounds is not None:
            lsb = round(bounds[0])
            top = max(top, bounds[3])
            bottom = min(bottom, bounds[1])
        metrics[name] = (outline.advance, lsb)

    reach_top, reach_bottom = attached_reach(src, outlines)
    top, bottom = max(top, reach_top), min(bottom, reach_bottom)

    src_hhea = src.font["hhea"]
    src_os2 = src.font["OS/2"]
    # Raised tone marks, the deep linking mark and marks placed on the
    # tallest and the deepest letters reach beyond the source font's line;
    # the line grows so that nothing is clipped.
    ascent = max(src_hhea.ascent, round(top) + src.gap_below)
    descent = max(-src_hhea.descent, -round(bottom) + src.gap_below)

    fb = FontBuilder(src.upem, isTTF=True)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap({})
    cmap = newTable("cmap")
    cmap.tableVersion = 0
    symbol = cmap_format_4(4)
    symbol.platformID, symbol.platEncID, symbol.language = 3, 0, 0
    symbol.cmap = {SYMBOL_BASE + code: glyph_name(code) for code in range(32, 256)}
    cmap.tables = [symbol]
    fb.font["cmap"] = cmap

    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ascent, descent=-descent, lineGap=0)

    source_names = src.font["name"]
    copyright_text = (source_names.getDebugName(0).strip()
                      + f"\n{face.family} is a Modified Version of {face.source_label},"
                      " rebuilt for Sprelio by tools/make_fonts.py.")
    names = {
        "copyright": copyright_text,
        "familyName": face.family,
        "styleName": "Regular",
        "uniqueFontIdentifier": f"Sprelio: {face.family} Regular: {FONT_VERSION}",
        "fullName": face.family,
        "version": f"Version {FONT_VERSION}",
        "psName": face.ps_name,
        "description": (f"Phonetic symbols at 8-bit symbol codes (U+F020 to U+F0FF) for Sprelio,"
                        f" made from {face.source_label} {source_names.getDebugName(5)}."),
        "licenseDescription": source_names.getDebugName(13),
        "licenseInfoURL": source_names.getDebugName(14),
    }
    fb.setupNameTable(names, windows=True, mac=False)
    # A font with a symbol cmap carries its Windows names in the symbol
    # encoding too; GDI looks for them there.
    name_table = fb.font["name"]
    for record in list(name_table.names):
        name_table.setName(record.toUnicode(), record.nameID, 3, 0, record.langID)

    fb.setupOS2(
        version=4,
        usWeightClass=400,
        usWidthClass=5,
        fsType=0,
        ySubscriptXSize=src_os2.ySubscriptXSize, ySubscriptYSize=src_os2.ySubscriptYSize,
        ySubscriptXOffset=src_os2.ySubscriptXOffset, ySubscriptYOffset=src_os2.ySubscriptYOffset,
        ySuperscriptXSize=src_os2.ySuperscriptXSize, ySuperscriptYSize=src_os2.ySuperscriptYSize,
        ySuperscriptXOffset=src_os2.ySuperscriptXOffset,
        ySuperscriptYOffset=src_os2.ySuperscriptYOffset,
        yStrikeoutSize=src_os2.yStrikeoutSize, yStrikeoutPosition=src_os2.yStrikeoutPosition,
        panose=src_os2.panose,
        achVendID="NONE",
        fsSelection=0x40,  # regular
        usFirstCharIndex=SYMBOL_BASE + 32,
        usLastCharIndex=SYMBOL_BASE + 255,
        sTypoAscender=ascent, sTypoDescender=-descent, sTypoLineGap=0,
        usWinAscent=ascent, usWinDescent=descent,
        ulUnicodeRange1=0, ulUnicodeRange2=1 << 28,  # bit 60: private use area
        ulUnicodeRange3=0, ulUnicodeRange4=0,
        ulCodePageRange1=1 << 31,  # symbol character set
        ulCodePageRange2=0,
        sxHeight=round(src.x_top),
        sCapHeight=round(src.bounds_of(ord("H"))[3]),
        usDefaultChar=0, usBreakChar=SYMBOL_BASE + 32, usMaxContext=0,
    )
    addOpenTypeFeaturesFromString(fb.font, attachment_features(src, outlines))
    fb.font["OS/2"].usMaxContext = maxCtxFont(fb.font)
    fb.setupPost(keepGlyphNames=False,
                 underlinePosition=src.font["post"].underlinePosition,
                 underlineThickness=src.font["post"].underlineThickness)
    # Fixed dates keep a rebuild from the same sources byte-identical.
    head = fb.font["head"]
    head.fontRevision = float(FONT_VERSION)
    head.created = src.font["head"].created
    head.modified = src.font["head"].modified
    head.macStyle = 0

    path = os.path.join(out_dir, face.file_name)
    fb.save(path)
    fb.font.close()
    src.font.close()
    return path


def write_licences(out_dir):
    charis = TTFont(FACES[0].source)
    dejavu = TTFont(FACES[1].source)
    with open(os.path.join(out_dir, "OFL.txt"), "w", encoding="utf-8") as f:
        f.write("Lautbild Serif (LautbildSerif.ttf) is a Modified Version of Charis SIL.\n"
                "It does not use the Reserved Font Names of Charis SIL, and it stays under\n"
                "the SIL Open Font License, Version 1.1, whose notice and text follow as\n"
                "Charis SIL states them.\n\n")
        f.write(charis["name"].getDebugName(13).strip() + "\n")
    with open(os.path.join(out_dir, "DejaVu-LICENSE.txt"), "w", encoding="utf-8") as f:
        f.write("Lautbild Sans Serif (LautbildSansSerif.ttf) is a modified copy of DejaVu Sans,\n"
                "renamed as the Bitstream Vera and Arev licences below require. Its name\n"
                "contains neither \"Bitstream\", \"Vera\", \"Arev\" nor \"Tavmjong Bah\".\n\n")
        f.write(dejavu["name"].getDebugName(13).strip() + "\n")
    charis.close()
    dejavu.close()


def check_table():
    missing = [code for code in range(32, 256) if code not in GLYPHS]
    if missing:
        sys.exit(f"no glyph given for codes {missing}")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "data", "fonts"),
                        help="folder for the fonts and licence texts (default: data/fonts)")
    args = parser.parse_args()
    check_table()
    os.makedirs(args.out, exist_ok=True)
    for face in FACES:
        print(build_face(face, args.out))
    write_licences(args.out)


if __name__ == "__main__":
    main()
