// 3D programs: row vectors times World, View and Projection; lighting with a cube map
// reflection and refraction; a sky box looked up by direction.
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
    float3 View : TEXCOORD2;
    float4 Depth : TEXCOORD3;
};

PS_INPUT VS(VS_INPUT input)
{
    PS_INPUT output = (PS_INPUT)0;
    float4 world = mul(input.Pos, World);
    output.Pos = mul(mul(world, View), Projection);
    output.Tex = input.Tex;
    output.Norm = mul(float4(input.Norm, 0), World).xyz;
    output.View = CameraPosition - world.xyz;
    output.Depth = output.Pos;
    return output;
}

PS_INPUT SkyboxVS(VS_INPUT input)
{
    PS_INPUT output = VS(input);
    output.Norm = normalize(input.Pos.xyz);
    float4 viewPos = mul(mul(input.Pos, World), View);
    output.Norm.y *= sign(viewPos.z);
    return output;
}

float4 TexturePS(PS_INPUT input) : SV_Target
{
    return txDiffuse.Sample(samLinear, input.Tex);
}

float4 DiffuseTexturePS(PS_INPUT input) : SV_Target
{
    return float4(vMeshColor.rgb, pow(abs(input.Depth.z / input.Depth.w), 0.1));
}

float4 HemispherePS(PS_INPUT input) : SV_Target
{
    float k = dot(normalize(input.Norm), float3(0, 1, 0)) * 0.5 + 0.5;
    return 0.5 * lerp(float4(0.85, 0.7, 0.7, 1), float4(0.8, 1.35, 1.5, 1), k);
}

float4 DiffuseTextureCubemapPS(PS_INPUT input) : SV_Target
{
    float3 n = normalize(input.Norm);
    float3 v = normalize(input.View);
    float3 l = normalize(-lightDirection);
    float3 r = reflect(-v, n);
    float4 lit = ambientColor + diffuseColor * saturate(dot(n, l)) * txDiffuse.Sample(samLinear, input.Tex)
               + specularColor * pow(saturate(dot(reflect(-l, n), v)), 16);
    return 0.5 * lit + 0.25 * txCube.Sample(samLinear, r) + 0.25 * txCube.Sample(samLinear, refract(-v, n, 1 / 1.52));
}

float4 SkyboxPS(PS_INPUT input) : SV_Target
{
    float4 sky = txCube.Sample(samLinear, input.Norm);
    float luminance = dot(sky.rgb, float3(0.299, 0.587, 0.114));
    return float4(lerp(luminance.xxx, sky.rgb, -2.0) * 0.25, input.Depth.z / input.Depth.w);
}
