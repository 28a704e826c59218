// The program texts and the order they are compiled in. Each text is one
// line: statements end with ";" and there are no line breaks.
//
// Vertex inputs: P position, N normal (w = 1), C primary colour, UV texture
// coordinate set 0. venv/fenv are the vertex/fragment environment parameters.
#include "render/gpu.h"
#include "render/gpu_internal.h"

namespace {

// Clip position MVP * P, written by every vertex program unless said otherwise.
#define QUORIN_CLIP_POSITION                        \
  "PARAM mvp[4] = { state.matrix.mvp };"            \
  "DP4 result.position.x, mvp[0], vertex.position;" \
  "DP4 result.position.y, mvp[1], vertex.position;" \
  "DP4 result.position.z, mvp[2], vertex.position;" \
  "DP4 result.position.w, mvp[3], vertex.position;"

// The eye-space and tangent-space values both lighting pairs interpolate:
// tc1 = E = MV * P, tc2 = venv[0] - E (towards the light), tc3 = MV^-T * N,
// tc4 = MV^-T * C (C carries the tangent), tc5 = view direction in tangent
// space, from W = eye in object space (row 3 of MV^-T) - P.
#define QUORIN_LIGHTING_VARYINGS                           \
  "PARAM mv[4] = { state.matrix.modelview };"              \
  "PARAM mvit[4] = { state.matrix.modelview.invtrans };"   \
  "TEMP E, W, B;"                                          \
  "DP4 E.x, mv[0], vertex.position;"                       \
  "DP4 E.y, mv[1], vertex.position;"                       \
  "DP4 E.z, mv[2], vertex.position;"                       \
  "DP4 E.w, mv[3], vertex.position;"                       \
  "MOV result.texcoord[1], E;"                             \
  "SUB result.texcoord[2], program.env[0], E;"             \
  "DP4 result.texcoord[3].x, mvit[0], vertex.normal;"      \
  "DP4 result.texcoord[3].y, mvit[1], vertex.normal;"      \
  "DP4 result.texcoord[3].z, mvit[2], vertex.normal;"      \
  "DP4 result.texcoord[4].x, mvit[0], vertex.color;"       \
  "DP4 result.texcoord[4].y, mvit[1], vertex.color;"       \
  "DP4 result.texcoord[4].z, mvit[2], vertex.color;"       \
  "SUB W, mvit[3], vertex.position;"                       \
  "XPD B, vertex.normal, vertex.color;"                    \
  "DP3 result.texcoord[5].x, W, vertex.color;"             \
  "DP3 result.texcoord[5].y, W, B;"                        \
  "DP3 result.texcoord[5].z, W, vertex.normal;"

// n = normalize(tc3), g = normalize(tc4), v = normalize(tc5),
// e = normalize(tc1), l = normalize(tc2).
#define QUORIN_NORMALIZE(out, in) \
  "DP3 t.x, " in ", " in ";"      \
  "RSQ t.x, t.x;"                 \
  "MUL " out ", " in ", t.x;"
#define QUORIN_LIGHTING_DIRECTIONS                   \
  QUORIN_NORMALIZE("n", "fragment.texcoord[3]")      \
  QUORIN_NORMALIZE("g", "fragment.texcoord[4]")      \
  QUORIN_NORMALIZE("v", "fragment.texcoord[5]")      \
  QUORIN_NORMALIZE("e", "fragment.texcoord[1]")      \
  QUORIN_NORMALIZE("l", "fragment.texcoord[2]")

// p = normalize(n + d.r * g + d.g * cross(n, g)), d = (bump sample - 0.5) * fenv[3].x
#define QUORIN_BUMPED_NORMAL      \
  "SUB d, d, consts.x;"           \
  "MUL d, d, program.env[3].x;"   \
  "XPD b, n, g;"                  \
  "MAD p, d.x, g, n;"             \
  "MAD p, d.y, b, p;"             \
  QUORIN_NORMALIZE("p", "p")

// tc0 = UV * venv[1]
constexpr char phongVertexText[] =
    "!!ARBvp1.0"
    QUORIN_CLIP_POSITION
    "MUL result.texcoord[0], vertex.texcoord[0], program.env[1];"
    QUORIN_LIGHTING_VARYINGS
    "END";

// uv = tc0 + (T0(tc0).b * fenv[3].z + fenv[3].w) * v          parallax
// diffuse = dot(p, l); r = 2 * diffuse * p - l
// shine = sat(sat(dot(r, e) * fenv[2].y) ^ fenv[2].x * fenv[1])
// col = (T1(uv) * fenv[3].y + fenv[2].w) * fenv[0]
// result = sat(sat(diffuse * col + shine) + shine * fenv[2].z)
constexpr char phongFragmentText[] =
    "!!ARBfp1.0"
    "PARAM consts = { 0.5, 2.0, 1.0, 0.0 };"
    "TEMP t, n, g, v, e, l, h, uv, d, b, p, r, shine, col, lit;"
    QUORIN_LIGHTING_DIRECTIONS
    "TEX h, fragment.texcoord[0], texture[0], 2D;"
    "MAD h.x, h.z, program.env[3].z, program.env[3].w;"
    "MAD uv, h.x, v, fragment.texcoord[0];"
    "TEX d, uv, texture[0], 2D;"
    QUORIN_BUMPED_NORMAL
    "DP3 lit.x, p, l;"
    "MUL r, p, lit.x;"
    "MAD r, r, consts.y, -l;"
    "DP3 t.x, r, e;"
    "MUL_SAT t.x, t.x, program.env[2].y;"
    "POW t.x, t.x, program.env[2].x;"
    "MUL_SAT shine, t.x, program.env[1];"
    "TEX col, uv, texture[1], 2D;"
    "MAD col, col, program.env[3].y, program.env[2].w;"
    "MUL col, col, program.env[0];"
    "MAD_SAT t, lit.x, col, shine;"
    "MAD_SAT result.color, shine, program.env[2].z, t;"
    "END";

// tc0 = UV
constexpr char phongSpecularMapVertexText[] =
    "!!ARBvp1.0"
    QUORIN_CLIP_POSITION
    "MOV result.texcoord[0], vertex.texcoord[0];"
    QUORIN_LIGHTING_VARYINGS
    "END";

// Per map k (colour 6, bump 7, specular 8): c = tc0 * fenv[k].xy + fenv[k].zw,
//   uv_k = c + (T0(c).b * fenv[3].z + fenv[3].w) * v
// env: q = Proj.xy * p + (Proj.x * e * fenv[4].z, Proj.y * -e * fenv[4].w),
//   q.y /= 2, q = q * fenv[9].xy + fenv[9].zw, env = T3(q * 0.5 + 0.5) * S
// r = e - 2 dot(e, p) p; s = sat(dot(r, l)) * (0.5 + 0.5 S.r)
// shine = sat(sat(s ^ fenv[2].x) * fenv[1])
// col = T1 * fenv[3].y + fenv[2].w; ambient = col * fenv[5]
// rgb = sat(sat(dot(p, l) * col * fenv[0] + shine) + shine * fenv[2].z)
//       + env * fenv[4].x + T1 * fenv[4].y * env + ambient; alpha = 1
constexpr char phongSpecularMapFragmentText[] =
    "!!ARBfp1.0"
    "PARAM consts = { 0.5, 2.0, 1.0, 0.0 };"
    "PARAM proj[4] = { state.matrix.projection };"
    "TEMP t, n, g, v, e, l, h, c, uv6, uv7, uv8, d, b, p, S, q, env, lit, r, shine, tex, col, ambient, base;"
    QUORIN_LIGHTING_DIRECTIONS
    "MAD c, fragment.texcoord[0], program.env[6], program.env[6].zwzw;"
    "TEX h, c, texture[0], 2D;"
    "MAD h.x, h.z, program.env[3].z, program.env[3].w;"
    "MAD uv6, h.x, v, c;"
    "MAD c, fragment.texcoord[0], program.env[7], program.env[7].zwzw;"
    "TEX h, c, texture[0], 2D;"
    "MAD h.x, h.z, program.env[3].z, program.env[3].w;"
    "MAD uv7, h.x, v, c;"
    "MAD c, fragment.texcoord[0], program.env[8], program.env[8].zwzw;"
    "TEX h, c, texture[0], 2D;"
    "MAD h.x, h.z, program.env[3].z, program.env[3].w;"
    "MAD uv8, h.x, v, c;"
    "TEX d, uv7, texture[0], 2D;"
    QUORIN_BUMPED_NORMAL
    "TEX S, uv8, texture[2], 2D;"
    "DP3 q.x, proj[0], p;"
    "DP3 q.y, proj[1], p;"
    "DP3 t.x, proj[0], e;"
    "DP3 t.y, proj[1], -e;"
    "MAD q.x, t.x, program.env[4].z, q.x;"
    "MAD q.y, t.y, program.env[4].w, q.y;"
    "MUL q.y, q.y, consts.x;"
    "MAD q.xy, q, program.env[9], program.env[9].zwzw;"
    "MAD q, q, consts.x, consts.x;"
    "TEX env, q, texture[3], 2D;"
    "MUL env, env, S;"
    "DP3 lit.x, p, l;"
    "DP3 t.x, e, p;"
    "MUL t.x, t.x, consts.y;"
    "MAD r, -t.x, p, e;"
    "DP3_SAT t.x, r, l;"
    "MAD t.y, S.x, consts.x, consts.x;"
    "MUL t.x, t.x, t.y;"
    "POW_SAT t.x, t.x, program.env[2].x;"
    "MUL_SAT shine, t.x, program.env[1];"
    "TEX tex, uv6, texture[1], 2D;"
    "MUL t, tex, program.env[4].y;"
    "MUL t, t, env;"
    "MAD col, tex, program.env[3].y, program.env[2].w;"
    "MUL ambient, col, program.env[5];"
    "MUL col, col, program.env[0];"
    "MAD_SAT base, lit.x, col, shine;"
    "MAD_SAT base, shine, program.env[2].z, base;"
    "MAD base, env, program.env[4].x, base;"
    "ADD base, base, t;"
    "ADD result.color.xyz, base, ambient;"
    "MOV result.color.w, consts.z;"
    "END";

// Layer compositing: tc0 = tc1 = UV, colour = C (the layer's colour and
// opacity). a = T0 (underneath), b = T1 (the layer), c = colour, o = c.a.
constexpr char blendMultiplyVertexText[] =
    "!!ARBvp1.0"
    QUORIN_CLIP_POSITION
    "MOV result.texcoord[0], vertex.texcoord[0];"
    "MOV result.texcoord[1], vertex.texcoord[0];"
    "MOV result.color, vertex.color;"
    "END";

// Screen, add and sub: clip position (MVP * P).xy with depth 0 and w 1, so
// x and y are used without perspective division.
constexpr char blendFlatVertexText[] =
    "!!ARBvp1.0"
    "PARAM mvp[4] = { state.matrix.mvp };"
    "PARAM zeroOne = { 0.0, 0.0, 0.0, 1.0 };"
    "DP4 result.position.x, mvp[0], vertex.position;"
    "DP4 result.position.y, mvp[1], vertex.position;"
    "MOV result.position.zw, zeroOne;"
    "MOV result.texcoord[0], vertex.texcoord[0];"
    "MOV result.texcoord[1], vertex.texcoord[0];"
    "MOV result.color, vertex.color;"
    "END";

// result = a * (b * c * o + 1 - o), a.a taken as 1
constexpr char blendMultiplyFragmentText[] =
    "!!ARBfp1.0"
    "PARAM one = { 1.0, 1.0, 1.0, 1.0 };"
    "TEMP a, b, k;"
    "TEX a, fragment.texcoord[0], texture[0], 2D;"
    "TEX b, fragment.texcoord[1], texture[1], 2D;"
    "MOV a.w, one.w;"
    "MUL b, b, fragment.color;"
    "SUB k.x, one.x, fragment.color.w;"
    "MAD b, b, fragment.color.w, k.x;"
    "MUL result.color, a, b;"
    "END";

// result = 1 - (1 - a) * ((1 - b) * c * o + 1 - o), (1 - a).a taken as 1
constexpr char blendScreenFragmentText[] =
    "!!ARBfp1.0"
    "PARAM one = { 1.0, 1.0, 1.0, 1.0 };"
    "TEMP a, b, k;"
    "TEX a, fragment.texcoord[0], texture[0], 2D;"
    "TEX b, fragment.texcoord[1], texture[1], 2D;"
    "SUB a, one, a;"
    "MOV a.w, one.w;"
    "SUB b, one, b;"
    "MUL b, b, fragment.color;"
    "SUB k.x, one.x, fragment.color.w;"
    "MAD b, b, fragment.color.w, k.x;"
    "MUL a, a, b;"
    "SUB result.color, one, a;"
    "END";

// result = a + b * c * o, a.a taken as 1
constexpr char blendAddFragmentText[] =
    "!!ARBfp1.0"
    "PARAM one = { 1.0, 1.0, 1.0, 1.0 };"
    "TEMP a, b;"
    "TEX a, fragment.texcoord[0], texture[0], 2D;"
    "TEX b, fragment.texcoord[1], texture[1], 2D;"
    "MOV a.w, one.w;"
    "MUL b, b, fragment.color;"
    "MAD result.color, b, fragment.color.w, a;"
    "END";

// result = a - b * c * o, a.a taken as 1
constexpr char blendSubFragmentText[] =
    "!!ARBfp1.0"
    "PARAM one = { 1.0, 1.0, 1.0, 1.0 };"
    "TEMP a, b;"
    "TEX a, fragment.texcoord[0], texture[0], 2D;"
    "TEX b, fragment.texcoord[1], texture[1], 2D;"
    "MOV a.w, one.w;"
    "MUL b, b, fragment.color;"
    "MUL b, b, fragment.color.w;"
    "SUB result.color, a, b;"
    "END";

// tc0 = UV, colour passed through
constexpr char bumpHeightVertexText[] =
    "!!ARBvp1.0"
    QUORIN_CLIP_POSITION
    "MOV result.texcoord[0], vertex.texcoord[0];"
    "MOV result.color, vertex.color;"
    "END";

// H(c) = dot(T0(c).rgb, fenv[1].rgb), steps su = (fenv[0].x, 0), sv = (0, fenv[0].y)
// result = (0.5 + 0.5 (H(tc0 - su) - H(tc0 + su)), 0.5 + 0.5 (H(tc0 - sv) - H(tc0 + sv)), H(tc0), 0)
constexpr char bumpHeightFragmentText[] =
    "!!ARBfp1.0"
    "PARAM consts = { 0.5, 0.0, 1.0, 0.0 };"
    "PARAM alongU = { 1.0, 0.0, 0.0, 0.0 };"
    "PARAM alongV = { 0.0, 1.0, 0.0, 0.0 };"
    "TEMP s, c, t, heights, slopes;"
    "MUL s, program.env[0], alongU;"
    "SUB c, fragment.texcoord[0], s;"
    "TEX t, c, texture[0], 2D;"
    "DP3 heights.x, t, program.env[1];"
    "ADD c, fragment.texcoord[0], s;"
    "TEX t, c, texture[0], 2D;"
    "DP3 heights.y, t, program.env[1];"
    "MUL s, program.env[0], alongV;"
    "SUB c, fragment.texcoord[0], s;"
    "TEX t, c, texture[0], 2D;"
    "DP3 heights.z, t, program.env[1];"
    "ADD c, fragment.texcoord[0], s;"
    "TEX t, c, texture[0], 2D;"
    "DP3 heights.w, t, program.env[1];"
    "SUB slopes.x, heights.x, heights.y;"
    "SUB slopes.y, heights.z, heights.w;"
    "MAD result.color.xy, slopes, consts.x, consts.x;"
    "TEX t, fragment.texcoord[0], texture[0], 2D;"
    "DP3 result.color.z, t, program.env[1];"
    "MOV result.color.w, consts.w;"
    "END";

// tc0 = N, the vertex's encoded velocity
constexpr char motionVectorVertexText[] =
    "!!ARBvp1.0"
    QUORIN_CLIP_POSITION
    "MOV result.texcoord[0], vertex.normal;"
    "END";

// result = tc0
constexpr char motionVectorFragmentText[] =
    "!!ARBfp1.0"
    "MOV result.color, fragment.texcoord[0];"
    "END";

// tc0 = UV; shared by motion blur, limit and exponential sum
constexpr char pictureVertexText[] =
    "!!ARBvp1.0"
    QUORIN_CLIP_POSITION
    "MOV result.texcoord[0], vertex.texcoord[0];"
    "END";

// One of the 16 taps: sum += T0(tc0 + v * k) / 16, k += fenv[0].y
#define QUORIN_BLUR_TAP                              \
  "MAD c, v, k.x, fragment.texcoord[0];"             \
  "TEX s, c, texture[0], 2D;"                        \
  "MAD sum, s, consts.z, sum;"                       \
  "ADD k.x, k.x, program.env[0].y;"
#define QUORIN_FOUR_BLUR_TAPS QUORIN_BLUR_TAP QUORIN_BLUR_TAP QUORIN_BLUR_TAP QUORIN_BLUR_TAP

// va = 2 (T1 - 0.5), vb = 2 (T2 - 0.5); v = vb if |va|^2 - |vb|^2 < 0, else va
// result = sum over i = 0..15 of T0(tc0 + v * (fenv[0].x + i * fenv[0].y)) / 16
constexpr char motionBlurFragmentText[] =
    "!!ARBfp1.0"
    "PARAM consts = { 0.5, 2.0, 0.0625, 0.0 };"
    "TEMP va, vb, v, k, c, s, sum;"
    "TEX va, fragment.texcoord[0], texture[1], 2D;"
    "TEX vb, fragment.texcoord[0], texture[2], 2D;"
    "SUB va, va, consts.x;"
    "MUL va, va, consts.y;"
    "SUB vb, vb, consts.x;"
    "MUL vb, vb, consts.y;"
    "DP3 k.x, va, va;"
    "DP3 k.y, vb, vb;"
    "SUB k.x, k.x, k.y;"
    "CMP v, k.x, vb, va;"
    "MOV sum, consts.w;"
    "MOV k.x, program.env[0].x;"
    QUORIN_FOUR_BLUR_TAPS
    QUORIN_FOUR_BLUR_TAPS
    QUORIN_FOUR_BLUR_TAPS
    QUORIN_FOUR_BLUR_TAPS
    "MOV result.color, sum;"
    "END";

// t = T0; lum = dot(t.rgb, fenv[1].rgb)
// result = sat(sat(t - fenv[0].x) * fenv[0].y) * lum ^ fenv[0].z
constexpr char limitFragmentText[] =
    "!!ARBfp1.0"
    "TEMP t, lum, r;"
    "TEX t, fragment.texcoord[0], texture[0], 2D;"
    "DP3 lum.x, t, program.env[1];"
    "POW lum.x, lum.x, program.env[0].z;"
    "SUB_SAT r, t, program.env[0].x;"
    "MUL_SAT r, r, program.env[0].y;"
    "MUL result.color, r, lum.x;"
    "END";

// t = T0, u = T1, lt/lu their luminances by fenv[1].rgb
// result = sat(sat(sat(t * fenv[2].x) * lt ^ fenv[0].x) + sat(sat(u * fenv[2].y) * lu ^ fenv[0].y))
constexpr char exponentialSumFragmentText[] =
    "!!ARBfp1.0"
    "TEMP t, u, lum;"
    "TEX t, fragment.texcoord[0], texture[0], 2D;"
    "TEX u, fragment.texcoord[0], texture[1], 2D;"
    "DP3 lum.x, t, program.env[1];"
    "DP3 lum.y, u, program.env[1];"
    "POW lum.x, lum.x, program.env[0].x;"
    "POW lum.y, lum.y, program.env[0].y;"
    "MUL_SAT t, t, program.env[2].x;"
    "MUL_SAT t, t, lum.x;"
    "MUL_SAT u, u, program.env[2].y;"
    "MUL_SAT u, u, lum.y;"
    "ADD_SAT result.color, t, u;"
    "END";

struct PairSource {
  ProgramPair* pair;
  const char* vertexName;
  const char* vertexText;
  const char* fragmentName;
  const char* fragmentText;
};

}  // namespace

void compileAllPrograms() {
  const PairSource pairs[] = {
      {&gpu.phong, "phong vertex program", phongVertexText, "phong fragment program", phongFragmentText},
      {&gpu.phongSpecularMap, "phong with specular map vertex program", phongSpecularMapVertexText,
       "phong with specular map fragment program", phongSpecularMapFragmentText},
      {&gpu.blendMultiply, "blend multiply vertex program", blendMultiplyVertexText, "blend multiply fragment program",
       blendMultiplyFragmentText},
      {&gpu.blendScreen, "blend screen vertex program", blendFlatVertexText, "blend screen fragment program",
       blendScreenFragmentText},
      {&gpu.blendAdd, "blend add vertex program", blendFlatVertexText, "blend add fragment program",
       blendAddFragmentText},
      {&gpu.blendSub, "blend sub vertex program", blendFlatVertexText, "blend sub fragment program",
       blendSubFragmentText},
      {&gpu.bumpHeight, "bump height vertex program", bumpHeightVertexText, "bump height fragment program",
       bumpHeightFragmentText},
      {&gpu.motionVector, "motion vector vertex program", motionVectorVertexText, "motion vector fragment program",
       motionVectorFragmentText},
      {&gpu.motionBlur, "motion blur vertex program", pictureVertexText, "motion blur fragment program",
       motionBlurFragmentText},
      {&gpu.limit, "limit vertex program", pictureVertexText, "limit fragment program", limitFragmentText},
      {&gpu.exponentialSum, "exponential sum vertex program", pictureVertexText, "exponential sum fragment program",
       exponentialSumFragmentText},
  };
  for (const PairSource& source : pairs) {
    compileProgram(source.vertexName, GL_VERTEX_PROGRAM_ARB, source.vertexText, &source.pair->vertex);
    compileProgram(source.fragmentName, GL_FRAGMENT_PROGRAM_ARB, source.fragmentText, &source.pair->fragment);
  }
}
