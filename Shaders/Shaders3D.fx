// 3D programs for meshes, boxes and planes. Matrices come in transposed, so row vectors
// multiply from the left: position x World x View x Projection.

Texture2D txDiffuse : register(t0);
TextureCube txCube : register(t1);
SamplerState samLinear : register(s0);

cbuffer cbCube : register(b0)
{
    matrix World;
    matrix View;
    matrix Projection;
    matrix WorldViewInverse;
    float4 vMeshColor;
    float3 CameraPosition;
};

cbuffer cbLight : register(b3)
{
    float4 ambientColor;
    float4 diffuseColor;
    float4 specularColor;
    float3 lightDirection;
    float res;
    float specularPower;
    float3 res2;
};

struct VS_INPUT
{
    float4 Pos : POSITION;
    float2 Tex : TEXCOORD0;
    float3 Norm : NORMAL;
};

struct PS_INPUT
{
    float4 Pos : SV_POSITION;
    float2 Tex : TEXCOORD0;
    float3 Norm : TEXCOORD1;
    float3 ViewDir : TEXCOORD2;
};

struct SKY_PS_INPUT
{
    float4 Pos : SV_POSITION;
    float2 Tex : TEXCOORD0;
    float3 Norm : TEXCOORD1;
    float3 ViewDir : TEXCOORD2;
    // xyz: look-up direction; w: view-space depth.
    float4 SkyDir : TEXCOORD3;
};

PS_INPUT VS(VS_INPUT input)
{
    PS_INPUT output;
    float4 worldPos = mul(input.Pos, World);
    output.Pos = mul(mul(worldPos, View), Projection);
    output.Tex = input.Tex;
    output.Norm = mul(input.Norm, (float3x3)World);
    output.ViewDir = CameraPosition - worldPos.xyz;
    return output;
}

SKY_PS_INPUT SkyboxVS(VS_INPUT input)
{
    SKY_PS_INPUT output;
    float4 worldPos = mul(input.Pos, World);
    float4 viewPos = mul(worldPos, View);
    output.Pos = mul(viewPos, Projection);
    output.Tex = input.Tex;
    output.Norm = mul(input.Norm, (float3x3)World);
    output.ViewDir = CameraPosition - worldPos.xyz;
    // Cube faces are stored top row first, so the direction's y is mirrored.
    float3 direction = normalize(input.Pos.xyz);
    output.SkyDir = float4(direction.x, -direction.y, direction.z, viewPos.z);
    return output;
}

float4 TexturePS(PS_INPUT input) : SV_Target
{
    return txDiffuse.Sample(samLinear, input.Tex);
}

// In the pixel stage SV_Position.z is the pixel's depth and .w its clip-space w, so z / w
// falls with distance: far line art fades into what lies behind it.
float4 DiffuseTexturePS(PS_INPUT input) : SV_Target
{
    float depth = input.Pos.z / input.Pos.w;
    // Depth clipping is off, so a point in front of the near plane can reach here with a
    // negative depth; the power of that would be NaN.
    return float4(vMeshColor.rgb, pow(saturate(depth), 0.1));
}

float4 DiffusePS(PS_INPUT input) : SV_Target
{
    return float4(vMeshColor.rgb, input.Pos.z / input.Pos.w);
}

float4 HemispherePS(PS_INPUT input) : SV_Target
{
    float3 n = normalize(input.Norm);
    float t = dot(n, float3(0.0, 1.0, 0.0)) * 0.5 + 0.5;
    return 0.5 * lerp(float4(0.8, 1.35, 1.5, 1.0), float4(0.85, 0.7, 0.7, 1.0), t);
}

float4 DiffuseTextureCubemapPS(PS_INPUT input) : SV_Target
{
    float3 n = normalize(input.Norm);
    float3 l = normalize(lightDirection);
    float3 v = normalize(input.ViewDir);
    float3 r = reflect(-l, n);
    float4 texel = txDiffuse.Sample(samLinear, input.Tex);
    float4 lit = ambientColor + diffuseColor * saturate(dot(n, l)) * texel +
                 specularColor * pow(saturate(dot(r, v)), 16.0);
    float4 reflected = txCube.Sample(samLinear, reflect(-v, n));
    float4 refracted = txCube.Sample(samLinear, refract(-v, n, 1.0 / 1.52));
    return 0.5 * lit + 0.25 * reflected + 0.25 * refracted;
}

float4 SkyboxPS(SKY_PS_INPUT input) : SV_Target
{
    float4 sky = txCube.Sample(samLinear, input.SkyDir.xyz);
    float luminance = dot(sky.rgb, float3(0.299, 0.587, 0.114));
    float3 colour = lerp(sky.rgb, luminance.xxx, -2.0) * 0.25;
    return float4(colour, input.Pos.z / input.Pos.w);
}
