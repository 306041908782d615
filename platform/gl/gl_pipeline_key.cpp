// GLSL generated for one combination of fixed-function states: vertex blending over the
// world-view palette, camera-space directional lighting, texture stage 0 and the alpha test.
#include "platform/gl/gl_pipeline_key.h"

#include "platform/d3d8_types.h"

uint64_t PipelineKey::packed() const {
    uint64_t k = 0;
    int shift = 0;
    auto put = [&](uint64_t value, int bits) {
        k |= (value & ((1ull << bits) - 1)) << shift;
        shift += bits;
    };
    put(lighting, 1);
    put(static_cast<uint64_t>(lightCount), 4);
    put(static_cast<uint64_t>(blendMatrices), 3);
    put(indexed, 1);
    put(static_cast<uint64_t>(vertexWeights), 3);
    put(normal, 1);
    put(diffuse, 1);
    put(specular, 1);
    put(texCoord, 1);
    put(specularEnable, 1);
    put(normalizeNormals, 1);
    put(localViewer, 1);
    put(static_cast<uint64_t>(diffuseSource), 2);
    put(static_cast<uint64_t>(ambientSource), 2);
    put(static_cast<uint64_t>(specularSource), 2);
    put(static_cast<uint64_t>(emissiveSource), 2);
    put(flat, 1);
    put(textured, 1);
    put(alphaFunc, 4);
    put(remapDepth, 1);
    return k;
}

namespace {
std::string sourceExpression(ColourSource source, const char* material) {
    switch (source) {
        case ColourSource::kDiffuse:
            return "inDiffuse";
        case ColourSource::kSpecular:
            return "inSpecular";
        default:
            return material;
    }
}

const char* comparison(uint32_t func) {
    switch (func) {
        case D3DCMP_NEVER:
            return "false";
        case D3DCMP_LESS:
            return "alpha < alphaRef";
        case D3DCMP_EQUAL:
            return "alpha == alphaRef";
        case D3DCMP_LESSEQUAL:
            return "alpha <= alphaRef";
        case D3DCMP_GREATER:
            return "alpha > alphaRef";
        case D3DCMP_NOTEQUAL:
            return "alpha != alphaRef";
        case D3DCMP_GREATEREQUAL:
            return "alpha >= alphaRef";
        default:
            return "true";
    }
}
}  // namespace

std::string fixedFunctionVertexShader(const PipelineKey& key) {
    const std::string flat = key.flat ? "flat " : "";
    const int lights = key.lighting ? key.lightCount : 0;
    std::string s = "#version 330 core\n";
    s += "layout(location = 0) in vec3 inPosition;\n";
    if (key.vertexWeights > 0) s += "layout(location = 1) in vec4 inWeights;\n";
    if (key.indexed) s += "layout(location = 2) in uvec4 inIndices;\n";
    if (key.normal) s += "layout(location = 3) in vec3 inNormal;\n";
    if (key.diffuse) s += "layout(location = 4) in vec4 inDiffuse;\n";
    if (key.specular) s += "layout(location = 5) in vec4 inSpecular;\n";
    if (key.texCoord) s += "layout(location = 6) in vec2 inTexCoord;\n";
    // Row-vector matrices uploaded as they are: m * v is Direct3D's v x M.
    s += "layout(std140) uniform WorldViewPalette { mat4 worldView[256]; };\n";
    if (key.lighting && key.normal)
        s += "layout(std140) uniform NormalPalette { mat4 normalMatrix[256]; };\n";
    s += "uniform mat4 projection;\nuniform vec2 pixelOffset;\n";
    if (key.lighting) {
        s += "uniform vec4 materialDiffuse, materialAmbient, materialSpecular, materialEmissive;\n"
             "uniform float materialPower;\nuniform vec3 ambientLight;\n";
        if (lights > 0) {
            const std::string n = std::to_string(lights);
            s += "uniform vec3 lightDirection[" + n + "];\nuniform vec3 lightDiffuse[" + n +
                 "];\nuniform vec3 lightSpecular[" + n + "];\n";
        }
    }
    s += flat + "out vec4 diffuseColour;\n";
    if (key.specularEnable) s += flat + "out vec3 specularColour;\n";
    if (key.textured) s += "out vec2 texCoord;\n";

    s += "void main() {\n";
    // Blend weights: the first n - 1 from the vertex, the last one what is left of 1.
    const int n = key.blendMatrices;
    s += "    float weights[4];\n";
    if (n == 1) {
        s += "    weights[0] = 1.0;\n";
    } else {
        s += "    float rest = 1.0;\n";
        for (int i = 0; i < n - 1; ++i) {
            const std::string w =
                i < key.vertexWeights ? "inWeights[" + std::to_string(i) + "]" : "0.0";
            s += "    weights[" + std::to_string(i) + "] = " + w + ";\n";
            s += "    rest -= weights[" + std::to_string(i) + "];\n";
        }
        s += "    weights[" + std::to_string(n - 1) + "] = rest;\n";
    }
    s += "    vec4 position = vec4(0.0);\n    vec3 normal = vec3(0.0);\n";
    // Matrices of weight 0 add nothing; skipping them saves the palette reads, which cost
    // most where the indices differ between the vertices drawn together.
    for (int i = 0; i < n; ++i) {
        const std::string m =
            key.indexed ? "int(inIndices[" + std::to_string(i) + "])" : std::to_string(i);
        const std::string w = "weights[" + std::to_string(i) + "]";
        s += "    if (" + w + " != 0.0) {\n";
        s += "        position += " + w + " * (worldView[" + m + "] * vec4(inPosition, 1.0));\n";
        if (key.lighting && key.normal)
            s += "        normal += " + w + " * (mat3(normalMatrix[" + m + "]) * inNormal);\n";
        s += "    }\n";
    }
    s += "    gl_Position = projection * position;\n";
    // Direct3D samples pixels at their integer coordinates, OpenGL at their centres.
    s += "    gl_Position.xy += pixelOffset * gl_Position.w;\n";
    if (key.remapDepth) s += "    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;\n";

    if (!key.lighting) {
        s +=
            std::string("    diffuseColour = ") + (key.diffuse ? "inDiffuse" : "vec4(1.0)") + ";\n";
        if (key.specularEnable)
            s += std::string("    specularColour = ") +
                 (key.specular ? "inSpecular.rgb" : "vec3(0.0)") + ";\n";
    } else {
        s += "    vec4 sourceDiffuse = " + sourceExpression(key.diffuseSource, "materialDiffuse") +
             ";\n";
        s += "    vec4 sourceAmbient = " + sourceExpression(key.ambientSource, "materialAmbient") +
             ";\n";
        s += "    vec4 sourceSpecular = " +
             sourceExpression(key.specularSource, "materialSpecular") + ";\n";
        s += "    vec4 sourceEmissive = " +
             sourceExpression(key.emissiveSource, "materialEmissive") + ";\n";
        s += "    vec3 diffuseSum = vec3(0.0);\n    vec3 specularSum = vec3(0.0);\n";
        if (lights > 0) {
            if (key.normal && key.normalizeNormals)
                s += "    float normalLength = length(normal);\n"
                     "    vec3 N = normalLength > 0.0 ? normal / normalLength : normal;\n";
            else
                s += "    vec3 N = normal;\n";
            if (key.localViewer)
                s += "    float eyeDistance = length(position.xyz);\n"
                     "    vec3 toEye = eyeDistance > 0.0 ? -position.xyz / eyeDistance : "
                     "vec3(0.0);\n";
            else
                s += "    vec3 toEye = vec3(0.0, 0.0, -1.0);\n";
            s += "    for (int i = 0; i < " + std::to_string(lights) +
                 "; ++i) {\n"
                 "        vec3 L = lightDirection[i];\n"
                 "        diffuseSum += lightDiffuse[i] * max(dot(N, L), 0.0);\n";
            if (key.specularEnable)
                s += "        vec3 halfway = toEye + L;\n"
                     "        float halfLength = length(halfway);\n"
                     "        float nh = halfLength > 0.0 ? dot(N, halfway / halfLength) : 0.0;\n"
                     "        specularSum += lightSpecular[i] * (nh > 0.0 ? pow(nh, materialPower) "
                     ": 0.0);\n";
            s += "    }\n";
        }
        s += "    vec3 lit = sourceEmissive.rgb + sourceAmbient.rgb * ambientLight +\n"
             "               sourceDiffuse.rgb * diffuseSum;\n"
             "    diffuseColour = clamp(vec4(lit, sourceDiffuse.a), 0.0, 1.0);\n";
        if (key.specularEnable)
            s += "    specularColour = clamp(sourceSpecular.rgb * specularSum, 0.0, 1.0);\n";
    }
    if (key.textured)
        s += std::string("    texCoord = ") + (key.texCoord ? "inTexCoord" : "vec2(0.0)") + ";\n";
    s += "}\n";
    return s;
}

std::string fixedFunctionFragmentShader(const PipelineKey& key) {
    const std::string flat = key.flat ? "flat " : "";
    std::string s = "#version 330 core\n";
    s += flat + "in vec4 diffuseColour;\n";
    if (key.specularEnable) s += flat + "in vec3 specularColour;\n";
    if (key.textured) s += "in vec2 texCoord;\nuniform sampler2D image;\n";
    if (key.alphaFunc) s += "uniform float alphaRef;\n";
    s += "out vec4 fragColour;\nvoid main() {\n";
    // Stage 0 as Direct3D sets it up: colour = texture x diffuse, alpha = texture alpha;
    // without a texture the stage reads opaque white.
    s += std::string("    vec4 texel = ") +
         (key.textured ? "texture(image, texCoord)" : "vec4(1.0)") + ";\n";
    s += "    vec4 colour = vec4(texel.rgb * diffuseColour.rgb, texel.a);\n";
    if (key.specularEnable) s += "    colour.rgb = min(colour.rgb + specularColour, vec3(1.0));\n";
    if (key.alphaFunc) {
        s += "    float alpha = floor(colour.a * 255.0 + 0.5);\n";
        s += std::string("    if (!(") + comparison(key.alphaFunc) + ")) discard;\n";
    }
    s += "    fragColour = colour;\n}\n";
    return s;
}
